#include "platform/capture/v4l2_capture_driver.h"
#include "platform/capture/v4l2_format_dialog.h"
#include "platform/capture/v4l2_source_dialog.h"

V4l2CaptureDriver::V4l2CaptureDriver(QString devicePath, std::shared_ptr<V4l2Io> io)
    : path_(std::move(devicePath)), device_(std::move(io)) {}

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
    return sourceAndFormatDialogs();
}

bool V4l2CaptureDriver::grab(QImage& frame) {
    return device_.grab(frame);
}

QSize V4l2CaptureDriver::frameSize() const {
    return device_.size();
}

bool V4l2CaptureDriver::sourceDialog(QWidget* parent) {
    if (!device_.checkOpen())
        return false;
    V4l2SourceDialog dialog(device_, parent);
    dialog.exec();
    return true;
}

bool V4l2CaptureDriver::formatDialog(QWidget* parent) {
    if (!device_.checkOpen())
        return false;
    V4l2FormatDialog dialog(device_, parent);
    dialog.exec();
    return true;
}

QString V4l2CaptureDriver::errorString() const {
    return device_.errorString();
}
