#pragma once

#include "platform/capture/capture_widgets.h"
#include "platform/capture/raw_frame.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <memory>
#include <optional>

class QWidget;

// What a capture driver offers; only these four flags are used.
struct CAPDRIVERCAPS {
    bool fHasOverlay = false;
    bool fHasDlgVideoSource = false;
    bool fHasDlgVideoFormat = false;
    bool fHasDlgVideoDisplay = false;
};

// What the drivers offering a Source and a Format dialog (and nothing else) report.
inline CAPDRIVERCAPS sourceAndFormatDialogs() {
    CAPDRIVERCAPS caps;
    caps.fHasDlgVideoSource = true;
    caps.fHasDlgVideoFormat = true;
    return caps;
}

// The exposure lengths a camera that exposes on command takes, seconds.
struct ExposureRange {
    double minSec = 0;
    double maxSec = 0;
};

// A camera's pixels as it states them: the size of one unbinned pixel, micrometres, and the
// binning in use (frame pixels are binX x binY camera pixels).
struct CameraPixels {
    double sizeXUm = 0;
    double sizeYUm = 0;
    int binX = 1;
    int binY = 1;
};

// A camera or other frame source. Every call returns within a bounded time (a grab waits at
// most 2 s); a device that vanishes makes calls fail, never hang or crash.
class CaptureDriver {
public:
    virtual ~CaptureDriver() = default;

    // Opens the source; false with errorString() when it cannot be used.
    virtual bool connect() = 0;
    virtual void disconnect() = 0;
    virtual bool isConnected() const = 0;
    virtual CAPDRIVERCAPS caps() const = 0;
    // The newest frame (any QImage format), or false when none arrives in time; `frame` is then
    // left as it was.
    virtual bool grab(QImage& frame) = 0;
    // grab() for a caller that uses the frame later, if at all. A driver whose frames take work
    // to make may only note the moment, leave `frame` null and make the frame in develop(), as
    // it was at that moment. By default the frame is made at once and develop() does nothing.
    virtual bool grabForLater(QImage& frame) { return grab(frame); }
    virtual void develop(QImage& frame) { (void)frame; }
    // Current frame size; empty when not connected.
    virtual QSize frameSize() const = 0;
    // Modal dialogs; each returns once closed, false when the driver has none. Changes made in
    // the Source dialog apply live; the Format dialog may change frameSize().
    virtual bool sourceDialog(QWidget* parent) = 0;
    virtual bool formatDialog(QWidget* parent) = 0;
    virtual QString errorString() const = 0;

    // Cameras that expose on command start an exposure of `seconds`; grab() then waits for its
    // frame. Cameras that deliver frames continuously ignore it.
    virtual void startExposure(double seconds) { (void)seconds; }
    // The frame of the last successful grab at the camera's own depth, for measures that want
    // more than the picture's 0..255; null for drivers that have none.
    virtual std::shared_ptr<const RawFrame> rawFrame() const { return nullptr; }
    // What a connected camera that exposes on command can take; null for sources whose
    // exposure is only the loop's interval (webcams, the simulator).
    virtual std::optional<ExposureRange> exposureRange() const { return std::nullopt; }
    // The name the device goes by on its own server (an INDI device's name), for programs that
    // match it to theirs; empty when it has none beyond its Camera menu caption.
    virtual QString deviceName() const { return {}; }
    // What a connected camera states of its pixels; null for sources that state nothing (then
    // the typed pixel size stands for a frame pixel). Never waits.
    virtual std::optional<CameraPixels> pixels() const { return std::nullopt; }
    // true for a camera on a server that may go away and come back (an INDI server):
    // isConnected() then never waits, and connect() on the same driver reaches the same camera
    // anew with its settings.
    virtual bool reconnectable() const { return false; }
};

// The capture drivers of this machine by index 0..8, in a fixed order for the life of the
// program.
class CaptureDrivers {
public:
    virtual ~CaptureDrivers() = default;
    // Name and version of driver `index`; false when no driver answers at that index.
    virtual bool description(int index, QString& name, QString& version) = 0;
    // A new, unconnected instance of driver `index`; null when there is none.
    virtual std::unique_ptr<CaptureDriver> create(int index) = 0;
    // Where a capture window in `parent` shows frames and opens dialogs (see
    // CaptureWidgets::view); null without a display.
    virtual std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                              const QRect& geometry) {
        (void)parent;
        (void)visible;
        (void)geometry;
        return nullptr;
    }
};
