#include "engine/guide_engine.h"
#include "server/server_link.h"

#include "server/calibration_data.h"

// The calibration a guide runs when it needs one, and what clients hear of any calibration,
// the operator's included.

bool ServerLink::calibrationRunning() const {
    return e_.calibrating();
}

// A ticked "Use Calibration" with nothing usable stored (none, or one made with another image
// scale or guide output) is calibrated anew too.
bool ServerLink::calibrationNeeded(bool recalibrate) const {
    return recalibrate || (e_.usingCalibration() && !e_.calibrationInUse());
}

bool ServerLink::beginCalibration(QString& why) {
    why = e_.whyCalibrationCannotStart();
    if (!why.isEmpty())
        return false;
    if (e_.startCalibration(true))
        return true;
    why = QStringLiteral("Calibrate needs guide rates above 0 (Options)");
    return false;
}

bool ServerLink::mountCalibrated() const {
    return e_.calibration().has_value() && mountReady();
}

QByteArrayList ServerLink::calibrationGreeting() const {
    if (!mountCalibrated())
        return {};
    return {
        events_.calibrationComplete(mountName(), e_.calibration() ? &*e_.calibration() : nullptr)};
}

void ServerLink::followCalibration() {
    Calibrator& c = e_.calibrator();
    connect(&c, &Calibrator::started, this,
            [this] { server_.broadcast(events_.mountEvent("StartCalibration", mountName())); });
    connect(&c, &Calibrator::stepped, this, [this](const CalibrationProgress& progress) {
        const CalibrationLeg& leg = e_.calibrator().path().leg(progress.direction);
        if (leg.points.empty())
            return;
        const CalibratingStep step{QString::fromLatin1(guideDirectionName(progress.direction)),
                                   progress.step, progress.distancePx,
                                   leg.points.back() - leg.points.front(), leg.points.back()};
        server_.broadcast(events_.calibrating(mountName(), step));
    });
    connect(&c, &Calibrator::completed, this, [this] {
        server_.broadcast(events_.calibrationComplete(
            mountName(), e_.calibration() ? &*e_.calibration() : nullptr));
        sent_.mountCalibrated = mountCalibrated();
        if (pending_ && pending_->calibrating) {
            pending_->calibrating = false;
            pending_->calibrationDone = true;
        }
    });
    connect(&c, &Calibrator::failed, this, [this](const QString& reason) {
        server_.broadcast(events_.calibrationFailed(mountName(), reason));
        abandonOperation(reason);
    });
    connect(&c, &Calibrator::stopped, this, [this] {
        const QString reason = QStringLiteral("Calibration manually stopped");
        server_.broadcast(events_.calibrationFailed(mountName(), reason));
        abandonOperation(reason);
    });
}

bool ServerLink::calibrated() {
    return e_.calibration().has_value();
}

void ServerLink::clearCalibration() {
    e_.clearCalibration();
}

QJsonObject ServerLink::calibrationData() {
    return calibrationDataJson(e_.calibration(), e_.calibrationInUse());
}
