#pragma once

#include "platform/capture/v4l2_buffers.h"
#include "platform/capture/v4l2_controls.h"
#include "platform/capture/v4l2_formats.h"
#include "platform/capture/v4l2_io.h"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <memory>

// A camera streaming RGB24 frames. Every call returns within a bounded time; a camera that is
// unplugged makes calls fail with a reason, after which the device counts as closed.
class V4l2Device {
public:
    // The longest a grab waits for a frame, in milliseconds.
    static constexpr int kGrabWaitMs = 2000;
    static constexpr uint32_t kBufferCount = 4;

    explicit V4l2Device(std::shared_ptr<V4l2Io> io);
    ~V4l2Device();
    V4l2Device(const V4l2Device&) = delete;
    V4l2Device& operator=(const V4l2Device&) = delete;

    // Opens the camera at `path` and starts streaming at the preferred size and rate (640x480
    // and the camera's own rate until applyFormat chose others); false with errorString().
    bool open(const QString& path);
    // Stops streaming and lets go of the camera; safe when already closed.
    void close();
    bool isOpen() const { return fd_ >= 0; }
    QString path() const { return path_; }
    // Frame size while open, else empty.
    QSize size() const { return isOpen() ? layout_.size : QSize(); }
    QString errorString() const { return error_; }
    // True when open; else false with errorString() saying the camera is not open.
    bool checkOpen() { return isOpen() || notOpen(); }

    // The newest frame as QImage::Format_RGB888; false (with `frame` untouched) when none
    // arrives within kGrabWaitMs or the camera fails.
    bool grab(QImage& frame);

    std::vector<V4l2Control> controls();
    bool controlValue(uint32_t id, int& value);
    bool setControl(uint32_t id, int value);
    // Sets every changeable, active control to its default in listing order; returns one line
    // per control that refused.
    QStringList restoreDefaults();

    std::vector<V4l2PixelFormat> formats();
    // The current time between frames; invalid when the camera does not say.
    V4l2Interval interval();
    // Restarts streaming at the offered size nearest to `size` and, when valid, at `interval`.
    // On failure the previous format is restored if the camera allows, else it is closed.
    bool applyFormat(QSize size, V4l2Interval interval);

private:
    bool openFailed(const QString& reason);
    // Always false: sets errorString() to `what`, or to "disconnected" (closing) for ENODEV.
    bool failed(int error, const QString& what);
    bool notOpen();
    bool startStreaming(QSize wanted, V4l2Interval interval, QString& reason);
    void setInterval(V4l2Interval interval);
    bool deliver(const V4l2Buffers::Frame& newest, QImage& frame);
    QString controlName(uint32_t id);

    std::shared_ptr<V4l2Io> io_;
    int fd_ = -1;
    QString path_;
    QString error_;
    V4l2FrameLayout layout_;
    std::unique_ptr<V4l2Buffers> buffers_;
    QSize preferredSize_{640, 480};
    V4l2Interval preferredInterval_;
};

// A deep copy of an RGB24 frame whose rows start bytesPerLine apart; null when `bytes` is too
// few for the whole frame.
QImage rgb24Image(const uint8_t* data, size_t bytes, const V4l2FrameLayout& layout);
