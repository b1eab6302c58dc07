#pragma once

#include "platform/capture/capture_driver.h"

#include <QObject>
#include <QRect>
#include <QTimer>
#include <cstdint>

class FrameSlot;
class QWidget;

// Only the image size is used.
struct CAPSTATUS {
    uint32_t uiImageWidth = 0;
    uint32_t uiImageHeight = 0;
};

// A capture window: connects to one capture driver at a time, grabs frames from it and copies
// the last one into the frame slot. A visible window also shows the live preview, where the
// drivers give a view (CaptureDrivers::view). Every call answers true on success, false
// otherwise; a window whose driver is gone fails cleanly. Destroying the window disconnects
// (closes) its driver.
class CaptureWindow : public QObject {
    Q_OBJECT
public:
    // geometry: the preview's place in `parent`, used when `visible`.
    CaptureWindow(CaptureDrivers& drivers, FrameSlot& clipboard, QWidget* parent, bool visible,
                  const QRect& geometry);
    ~CaptureWindow() override;

    bool driverConnect(int index);
    bool driverDisconnect();
    // Connects the driver already connected once anew (see CaptureDriver::reconnectable);
    // false without one, or with lastError() when it does not connect.
    bool driverReconnect();
    // A driver connected, and it says it still is.
    bool isConnected() const;
    // A driver connected that may come back by driverReconnect() once lost.
    bool reconnectable() const;
    bool driverGetCaps(CAPDRIVERCAPS& caps);
    // Grabs one frame from the driver; a failed grab leaves the window without a frame.
    bool grabFrame();
    // Puts the last grabbed frame (or none) into the frame slot.
    bool editCopy();
    bool dlgVideoSource();
    bool dlgVideoFormat();
    bool getStatus(CAPSTATUS& status);
    // Tells a camera that exposes on command to start an exposure of `seconds`.
    bool startExposure(double seconds);
    bool preview(bool on);
    bool previewRate(int ms);

    // The connected driver's exposureRange() and deviceName(); none and empty without one.
    std::optional<ExposureRange> exposureRange() const;
    QString deviceName() const;
    // The connected driver's pixels(); null without one.
    std::optional<CameraPixels> pixels() const;

    // Why the last connect or grab failed.
    QString lastError() const { return error_; }
    bool isVisiblePreview() const { return view_ && view_->showsFrames(); }

private:
    QWidget* dialogParent() const;
    void showPreviewFrame();
    // Makes the frame of a successful grab that the driver deferred.
    void developFrame();

    CaptureDrivers& drivers_;
    FrameSlot& clipboard_;
    std::unique_ptr<CaptureView> view_;
    std::unique_ptr<CaptureDriver> driver_;
    QImage frame_;
    bool grabbed_ = false;
    QString error_;
    QTimer previewTimer_;
};
