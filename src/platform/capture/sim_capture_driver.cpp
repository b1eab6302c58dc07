#include "platform/capture/sim_capture_driver.h"

#include "sim/sky_simulator.h"

namespace {
const QString kNotSaved = QStringLiteral("The simulator settings could not be saved.");
} // namespace

QString simulatorName() {
    return QStringLiteral("Orvalis Sky Simulator");
}

QString simulatorVersion() {
    return QStringLiteral("1.0");
}

SimCaptureDriver::SimCaptureDriver(SkySimulator& sky, SettingsStore& store,
                                   const CaptureWidgets* widgets)
    : sky_(sky), store_(store), widgets_(widgets) {}

bool SimCaptureDriver::connect() {
    connected_ = true;
    error_.clear();
    return true;
}

void SimCaptureDriver::disconnect() {
    connected_ = false;
}

bool SimCaptureDriver::isConnected() const {
    return connected_;
}

CAPDRIVERCAPS SimCaptureDriver::caps() const {
    return widgets_ ? sourceAndFormatDialogs() : CAPDRIVERCAPS{};
}

bool SimCaptureDriver::grab(QImage& frame) {
    if (!grabForLater(frame))
        return false;
    develop(frame);
    return true;
}

bool SimCaptureDriver::grabForLater(QImage& frame) {
    if (!connected_) {
        error_ = QStringLiteral("The sky simulator is not connected.");
        return false;
    }
    pending_ = true;
    pendingAt_ = sky_.nowSeconds();
    frame = QImage();
    return true;
}

void SimCaptureDriver::develop(QImage& frame) {
    if (!pending_)
        return;
    pending_ = false;
    frame = sky_.render(sky_.frameSize(), pendingAt_);
}

QSize SimCaptureDriver::frameSize() const {
    return connected_ ? sky_.frameSize() : QSize();
}

bool SimCaptureDriver::sourceDialog(QWidget* parent) {
    if (!widgets_)
        return false;
    if (!widgets_->simSourceDialog(sky_, store_, parent))
        error_ = kNotSaved;
    return true;
}

bool SimCaptureDriver::formatDialog(QWidget* parent) {
    if (!widgets_)
        return false;
    if (!widgets_->simFormatDialog(sky_, store_, parent))
        error_ = kNotSaved;
    return true;
}

QString SimCaptureDriver::errorString() const {
    return error_;
}
