#include "server/events.h"

#include "server/calibration_data.h"

#include "server/json_line.h"

#include <QDateTime>

ProtocolEvents::ProtocolEvents(QString host, int instance, QString version)
    : host_(std::move(host)), instance_(instance), version_(std::move(version)) {}

JsonLine ProtocolEvents::start(const char* name) const {
    const double now = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    JsonLine line;
    line.add("Event", name).addFixed("Timestamp", now, 3).add("Host", host_).add("Inst", instance_);
    return line;
}

QByteArray ProtocolEvents::version() const {
    return start("Version")
        .add("PHDVersion", version_)
        .add("PHDSubver", "")
        .add("OverlapSupport", true)
        .add("MsgVersion", 1)
        .text();
}

QByteArray ProtocolEvents::appState(AppState state) const {
    return start("AppState").add("State", appStateName(state)).text();
}

QByteArray ProtocolEvents::simple(const char* name) const {
    return start(name).text();
}

QByteArray ProtocolEvents::position(const char* name, QPointF at) const {
    return start(name).addFixed("X", at.x(), 3).addFixed("Y", at.y(), 3).text();
}

namespace {
void addStar(JsonLine& line, const StepStar& star) {
    line.addFixed("StarMass", star.mass, 0)
        .addFixed("SNR", star.snr, 2)
        .addFixed("HFD", star.hfd, 2);
}
} // namespace

QByteArray ProtocolEvents::loopingExposures(int frame, const std::optional<StepStar>& star) const {
    JsonLine line = start("LoopingExposures");
    line.add("Frame", frame);
    if (star)
        addStar(line, *star);
    return line.text();
}

QByteArray ProtocolEvents::starLost(int frame, double timeSec, const StepStar& star,
                                    double avgDist) const {
    JsonLine line = start("StarLost");
    line.add("Frame", frame).addFixed("Time", timeSec, 3);
    addStar(line, star);
    line.addFixed("AvgDist", avgDist, 2).add("ErrorCode", 2).add("Status", "star lost");
    return line.text();
}

QByteArray ProtocolEvents::guideStep(const GuideStepData& s) const {
    JsonLine line = start("GuideStep");
    line.add("Frame", s.frame)
        .addFixed("Time", s.timeSec, 3)
        .add("Mount", s.mount)
        .addFixed("dx", s.dx, 3)
        .addFixed("dy", s.dy, 3)
        .addFixed("RADistanceRaw", s.raRaw, 3)
        .addFixed("DECDistanceRaw", s.decRaw, 3)
        .addFixed("RADistanceGuide", s.raGuide, 3)
        .addFixed("DECDistanceGuide", s.decGuide, 3);
    if (s.ra)
        line.add("RADuration", s.ra->ms).add("RADirection", s.ra->direction);
    if (s.dec)
        line.add("DECDuration", s.dec->ms).add("DECDirection", s.dec->direction);
    addStar(line, s.star);
    line.addFixed("AvgDist", s.avgDist, 2);
    return line.text();
}

QByteArray ProtocolEvents::guidingDithered(QPointF offset) const {
    return start("GuidingDithered")
        .addFixed("dx", offset.x(), 3)
        .addFixed("dy", offset.y(), 3)
        .text();
}

QByteArray ProtocolEvents::settling(const SettlingStep& s) const {
    return start("Settling")
        .addFixed("Distance", s.distance, 2)
        .addFixed("Time", s.inRangeSec, 1)
        .add("SettleTime", s.settleTimeSec)
        .add("StarLocked", s.starLocked)
        .text();
}

QByteArray ProtocolEvents::settleDone(const SettleResult& r) const {
    JsonLine line = start("SettleDone");
    line.add("Status", r.success ? 0 : 1);
    if (!r.success)
        line.add("Error", r.error);
    return line.add("TotalFrames", r.totalFrames).add("DroppedFrames", r.droppedFrames).text();
}

QByteArray ProtocolEvents::mountEvent(const char* name, const QString& mount) const {
    return start(name).add("Mount", mount).text();
}

QByteArray ProtocolEvents::calibrationComplete(const QString& mount, const Calibration* c) const {
    JsonLine line = start("CalibrationComplete");
    line.add("Mount", mount);
    if (c) {
        const QJsonObject where = calibrationPointingJson(*c);
        for (auto it = where.begin(); it != where.end(); ++it)
            line.add(it.key().toLatin1().constData(), it.value());
    }
    return line.text();
}

QByteArray ProtocolEvents::calibrating(const QString& mount, const CalibratingStep& s) const {
    const QByteArray position =
        '[' + jsonFixed(s.position.x(), 3) + ',' + jsonFixed(s.position.y(), 3) + ']';
    return start("Calibrating")
        .add("Mount", mount)
        .add("dir", s.direction)
        .addFixed("dist", s.distance, 3)
        .addFixed("dx", s.offset.x(), 3)
        .addFixed("dy", s.offset.y(), 3)
        .addRaw("pos", position)
        .add("step", s.step)
        .text();
}

QByteArray ProtocolEvents::calibrationFailed(const QString& mount, const QString& reason) const {
    return start("CalibrationFailed").add("Mount", mount).add("Reason", reason).text();
}

QByteArray ProtocolEvents::alert(const QString& message, const QString& type) const {
    return start("Alert").add("Msg", message).add("Type", type).text();
}
