#include "app/frmMain.h"
#include "server/server_link.h"

// The calibration a guide runs when it needs one, and what clients hear of it. The window
// has no calibration of its own yet: guiding follows the camera's axes, so no guide needs one
// and none is ever stored.

bool ServerLink::calibrationRunning() const {
    return false;
}

bool ServerLink::calibrationNeeded(bool) const {
    return false;
}

bool ServerLink::beginCalibration(QString& why) {
    why = QStringLiteral("calibration is not available");
    return false;
}

std::optional<double> ServerLink::raAxisDeg() const {
    return std::nullopt;
}

QByteArrayList ServerLink::calibrationGreeting() const {
    return {};
}

void ServerLink::followCalibration() {}

bool ServerLink::calibrated() {
    return false;
}

void ServerLink::clearCalibration() {}
