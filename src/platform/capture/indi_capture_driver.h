#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/indi_camera.h"

// Caption of an INDI camera in the Camera menu: its name (see indi_camera_list.h), then this in
// place of a version.
inline const QString indiCameraVersion = QStringLiteral("(INDI)");

// An INDI camera as a capture driver. The exposure loop tells it when to expose; a driver that
// is never told so (the focus preview) streams exposures of liveExposureSec on its own. Source...
// shows every property of the device, grouped as the mount's settings dialog does; Format... only
// those that shape the frame (binning, frame, frame type and transfer format) of the chip in use.
// Both need `widgets` (not owned) to show.
class IndiCaptureDriver : public CaptureDriver {
public:
    explicit IndiCaptureDriver(IndiAddress address, IndiCameraTimeouts timeouts = {},
                               IndiChipChoice chip = IndiChipChoice::Main,
                               const CaptureWidgets* widgets = nullptr);

    bool connect() override;
    void disconnect() override;
    bool isConnected() const override;
    CAPDRIVERCAPS caps() const override;
    // The frame of the exposure last started, mapped to 0..255 (see frame_stretch.h); each
    // frame is decoded and mapped once, however often it is grabbed. Streaming: the newest
    // frame at once (black until the first has come).
    bool grab(QImage& frame) override;
    QSize frameSize() const override;
    bool sourceDialog(QWidget* parent) override;
    bool formatDialog(QWidget* parent) override;
    QString errorString() const override;
    void startExposure(double seconds) override;
    std::shared_ptr<const RawFrame> rawFrame() const override { return raw_; }
    // The chip's stated range; from 0 without an upper bound when it states none.
    std::optional<ExposureRange> exposureRange() const override;
    QString deviceName() const override { return camera_.address().device; }
    std::optional<CameraPixels> pixels() const override { return camera_.pixels(); }
    bool reconnectable() const override { return true; }

    static constexpr double liveExposureSec = 1.0;

private:
    bool showSettings(QWidget* parent, bool formatOnly);
    bool takePicture();
    bool grabLive(QImage& frame);

    IndiCamera camera_;
    const CaptureWidgets* widgets_;
    std::shared_ptr<const RawFrame> raw_;
    QImage picture_;
    bool commanded_ = false; // startExposure() has been called
};
