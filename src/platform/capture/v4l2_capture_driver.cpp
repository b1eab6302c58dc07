#include "platform/capture/v4l2_capture_driver.h"

V4l2CaptureDriver::V4l2CaptureDriver(QString devicePath, std::shared_ptr<V4l2Io> io,
                                     const CaptureWidgets* widgets)
    : path_(std::move(devicePath)), device_(std::move(io)), widgets_(widgets) {}

bool V4l2CaptureDriver::connect() {
    return device_.isOpen() || device_.open(path_);
}

void V4l2CaptureDriver::disconnect() {
    device_.close();
}

bool V4l2CaptureDriver::isConnected() const {
    return device_.isOpen();
}

CAPDRIVERCAPS V4l2CaptureDriver::caps() const {
    return widgets_ ? sourceAndFormatDialogs() : CAPDRIVERCAPS{};
}

bool V4l2CaptureDriver::grab(QImage& frame) {
    return device_.grab(frame);
}

QSize V4l2CaptureDriver::frameSize() const {
    return device_.size();
}

bool V4l2CaptureDriver::sourceDialog(QWidget* parent) {
    if (!widgets_ || !device_.checkOpen())
        return false;
    widgets_->v4l2SourceDialog(device_, parent);
    return true;
}

bool V4l2CaptureDriver::formatDialog(QWidget* parent) {
    if (!widgets_ || !device_.checkOpen())
        return false;
    widgets_->v4l2FormatDialog(device_, parent);
    return true;
}

QString V4l2CaptureDriver::errorString() const {
    return device_.errorString();
}
