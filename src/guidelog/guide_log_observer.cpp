#include "guidelog/guide_log_observer.h"

#include "engine/guide_engine.h"
#include "guidelog/guide_log_lines.h"
#include "guidelog/guide_log_snapshot.h"

GuideLogObserver::GuideLogObserver(GuideEngine& engine, std::unique_ptr<GuideLogWriter> writer)
    : engine_(engine), writer_(std::move(writer)) {
    followEngine();
}

// The engine is being taken down: the end line goes straight to the file, without a note.
GuideLogObserver::~GuideLogObserver() {
    if (guiding_)
        writer_->write({guidingEndLine()});
}

void GuideLogObserver::followEngine() {
    Calibrator* calibrator = &engine_.calibrator();
    connect(calibrator, &Calibrator::started, this, &GuideLogObserver::calibrationStarted);
    connect(calibrator, &Calibrator::stepped, this, &GuideLogObserver::calibrationStepped);
    connect(calibrator, &Calibrator::completed, this, &GuideLogObserver::calibrationCompleted);
    connect(calibrator, &Calibrator::failed, this, &GuideLogObserver::calibrationFailed);
    connect(calibrator, &Calibrator::stopped, this,
            [this] { endCalibration(QStringLiteral("Calibration stopped, nothing stored.")); });
    connect(&engine_, &GuideEngine::guidingChanged, this, &GuideLogObserver::guidingChanged);
    connect(&engine_.guideHistory(), &GuideHistory::appended, this,
            &GuideLogObserver::frameRecorded);
    connect(&engine_, &GuideEngine::changed, this, &GuideLogObserver::followChanges);
    connect(&engine_, &GuideEngine::pausedChanged, this, [this](bool paused) {
        info(paused ? QStringLiteral("INFO: Server received PAUSE")
                    : QStringLiteral("INFO: Server received RESUME"));
    });
    connect(&engine_, &GuideEngine::dithered, this, [this](QPointF offset, QPointF newLock) {
        info(ditherInfo(offset, newLock));
        lock_ = newLock;
    });
    connect(&engine_, &GuideEngine::settlingStarted, this,
            [this] { info(settlingInfo(QStringLiteral("Settling started"))); });
    connect(&engine_, &GuideEngine::settleDone, this, &GuideLogObserver::settleDone);
}

// The first failure is shown; the writer has stopped by then and drops the rest.
void GuideLogObserver::write(const QStringList& lines) {
    if (writer_->write(lines) || failureShown_)
        return;
    failureShown_ = true;
    const QString why = QStringLiteral("Guide log stopped: ") + writer_->errorString();
    engine_.note(why);
    engine_.showCondition(QLatin1String(kConditionKey), why);
}

// Events are told inside a guiding section only.
void GuideLogObserver::info(const QString& line) {
    if (guiding_)
        write({line});
}

void GuideLogObserver::beginSection(const QStringList& header) {
    write(QStringList{QString()} + header);
}

void GuideLogObserver::guidingChanged(bool on) {
    if (!on) {
        if (guiding_)
            write({guidingEndLine()});
        guiding_ = false;
        return;
    }
    calibrating_ = false;
    guiding_ = true;
    guidingStart_ = QDateTime::currentDateTime();
    frame_ = 0;
    LogEquipment equipment = logEquipment(engine_);
    addPointing(equipment, engine_.mountPointing());
    const LogGuiding guiding = logGuiding(engine_);
    params_ = guidingParams(equipment, guiding);
    const LogStar star = logStar(engine_);
    lock_ = star.lock;
    beginSection(guidingHeaderLines(guidingStart_, equipment, guiding, star));
}

void GuideLogObserver::frameRecorded(const GuideRecord& record) {
    if (!guiding_ || !record.guiding)
        return;
    followChanges();
    const double sinceStart =
        record.time - static_cast<double>(guidingStart_.toMSecsSinceEpoch()) / 1000.0;
    write({frameLine(++frame_, sinceStart, record, engine_.state.arcsecPerPixelX,
                     engine_.state.arcsecPerPixelY)});
}

// A lock position or parameter that changed since the last look, by any path.
void GuideLogObserver::followChanges() {
    if (!guiding_)
        return;
    QStringList lines;
    const QPointF lock(engine_.state.targetX, engine_.state.targetY);
    if (lock != lock_)
        lines << lockPositionInfo(lock);
    lock_ = lock;
    LogParams now = guidingParams(logEquipment(engine_), logGuiding(engine_));
    lines << parameterChanges(params_, now);
    params_ = std::move(now);
    if (!lines.isEmpty())
        write(lines);
}

void GuideLogObserver::settleDone(const SettleResult& result) {
    info(settlingInfo(result.success ? QStringLiteral("Settling complete")
                                     : QStringLiteral("Settling failed, ") + result.error));
}

QString GuideLogObserver::guidingEndLine() const {
    return QStringLiteral("Guiding Ends at ") + logTime(QDateTime::currentDateTime());
}
