#include "guidelog/guide_log_lines.h"

#include "guiding/number_format.h"

#include <QStringList>
#include <cmath>
#include <numbers>

namespace {
constexpr double kDegrees = 180.0 / std::numbers::pi;

QString position(QPointF p) {
    return logNumber(p.x(), 3) + QStringLiteral(", ") + logNumber(p.y(), 3);
}

QString letter(GuideDirection d) {
    return QString(QLatin1Char(guideDirectionName(d)[0]));
}

// Duration and direction fields of one axis: "0" and empty without a pulse.
void addPulse(QStringList& fields, const std::optional<PulseRequest>& pulse) {
    fields << (pulse ? QString::number(pulse->ms) : QStringLiteral("0"))
           << (pulse ? letter(pulse->direction) : QString());
}

bool lost(QPointF p) {
    return p.x() <= 0 && p.y() <= 0;
}
} // namespace

QString logTime(const QDateTime& time) {
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString guideLogFileName(const QDateTime& start, int copy) {
    const QString suffix = copy > 1 ? QStringLiteral("_%1").arg(copy) : QString();
    return QStringLiteral("Orvalis_GuideLog_%1%2.txt")
        .arg(start.toString(QStringLiteral("yyyy-MM-dd_HHmmss")), suffix);
}

QString logOpeningLine(const QString& programVersion, const QDateTime& start) {
    return QStringLiteral("Orvalis version %1, Log version %2. Log enabled at %3")
        .arg(programVersion, QLatin1String(kLogVersion), logTime(start));
}

QString logNumber(double value, int decimals) {
    return std::isfinite(value) ? formatFixed(value, decimals) : QString();
}

QString logQuoted(const QString& text) {
    QString inner = text;
    inner.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

QString frameLine(int frame, double timeSec, const GuideRecord& r, double scaleX, double scaleY) {
    QStringList f{QString::number(frame), logNumber(timeSec, 3)};
    if (!r.found) {
        f << QStringLiteral("\"DROP\"");
        for (int empty = 0; empty < 12; ++empty)
            f << QString();
        f << QStringLiteral("0") << QStringLiteral("0.00") << QString::number(kStarLostCode)
          << logQuoted(QStringLiteral("Star lost"));
        return f.join(QLatin1Char(','));
    }
    const double mean = (scaleX + scaleY) / 2;
    const double raScale = r.onMountAxes ? mean : scaleX;
    const double decScale = r.onMountAxes ? mean : scaleY;
    const double raRaw = r.onMountAxes ? -r.mountRaArcsec / raScale : -r.raPx;
    const double decRaw = r.onMountAxes ? -r.mountDecArcsec / decScale : -r.decPx;
    f << QStringLiteral("\"Mount\"") << logNumber(-r.raPx, 3) << logNumber(-r.decPx, 3)
      << logNumber(raRaw, 3) << logNumber(decRaw, 3) << logNumber(-r.raLawArcsec / raScale, 3)
      << logNumber(-r.decLawArcsec / decScale, 3);
    addPulse(f, r.raPulse);
    addPulse(f, r.decPulse);
    f << QString() << QString() << logNumber(r.star.flux, 0) << logNumber(r.star.snr, 2)
      << QStringLiteral("0");
    return f.join(QLatin1Char(','));
}

QString calibrationStepLine(GuideDirection direction, int step, QPointF start, QPointF at) {
    const QPointF d = at - start;
    return QStringList{QLatin1String(guideDirectionName(direction)),
                       QString::number(step),
                       logNumber(d.x(), 3),
                       logNumber(d.y(), 3),
                       logNumber(at.x(), 3),
                       logNumber(at.y(), 3),
                       logNumber(std::hypot(d.x(), d.y()), 3)}
        .join(QLatin1Char(','));
}

std::optional<LegSummary> legSummary(const CalibrationLeg& leg) {
    if (leg.points.size() < 2 || leg.stepMs <= 0)
        return std::nullopt;
    for (const QPointF& p : leg.points)
        if (lost(p))
            return std::nullopt;
    LegSummary s;
    s.motion = leg.points.back() - leg.points.front();
    s.angleDeg = std::atan2(s.motion.y(), s.motion.x()) * kDegrees;
    const double pulseSec = static_cast<double>(leg.points.size() - 1) * leg.stepMs / 1000.0;
    s.rateOfPulse = std::hypot(s.motion.x(), s.motion.y()) / pulseSec;
    return s;
}

QString legSummaryLine(GuideDirection direction, const LegSummary& s, bool reversed) {
    return QStringLiteral("%1 calibration complete. Angle = %2 deg, Rate = %3 px/sec, Parity = %4")
        .arg(QLatin1String(guideDirectionName(direction)), logNumber(s.angleDeg, 1),
             logNumber(s.rateOfPulse, 3),
             reversed ? QStringLiteral("Reversed") : QStringLiteral("Normal"));
}

bool decReversed(QPointF east, QPointF north) {
    return east.x() * north.y() - east.y() * north.x() > 0;
}

double logAngle(double degrees) {
    const double a = std::fmod(degrees, 360.0);
    if (a > 180)
        return a - 360;
    return a <= -180 ? a + 360 : a;
}

QString ditherInfo(QPointF offset, QPointF newLock) {
    return QStringLiteral("INFO: DITHER by %1, new lock pos = %2")
        .arg(position(offset), position(newLock));
}

QString lockPositionInfo(QPointF lock) {
    return QStringLiteral("INFO: SET LOCK POSITION, new lock pos = ") + position(lock);
}

QString settlingInfo(const QString& change) {
    return QStringLiteral("INFO: SETTLING STATE CHANGE, ") + change;
}

QString parameterInfo(const QString& name, const QString& value) {
    return QStringLiteral("INFO: Guiding parameter change, %1 = %2").arg(name, value);
}
