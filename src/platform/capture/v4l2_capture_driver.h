#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/v4l2_device.h"
#include "platform/capture/v4l2_io.h"

#include <memory>

// A webcam or other video device at a fixed path (such as /dev/video0), delivering RGB24
// frames whatever the camera itself sends. Offers the Source dialog (camera controls) and the
// Format dialog (frame size and rate); both need the camera connected, and `widgets` (not
// owned) to show them.
class V4l2CaptureDriver : public CaptureDriver {
public:
    explicit V4l2CaptureDriver(QString devicePath, std::shared_ptr<V4l2Io> io = systemV4l2Io(),
                               const CaptureWidgets* widgets = nullptr);

    bool connect() override;
    void disconnect() override;
    bool isConnected() const override;
    CAPDRIVERCAPS caps() const override;
    bool grab(QImage& frame) override;
    QSize frameSize() const override;
    bool sourceDialog(QWidget* parent) override;
    bool formatDialog(QWidget* parent) override;
    QString errorString() const override;

    QString devicePath() const { return path_; }
    V4l2Device& device() { return device_; }

private:
    QString path_;
    V4l2Device device_;
    const CaptureWidgets* widgets_;
};
