#include "platform/capture/v4l2_device.h"
#include "platform/capture/v4l2_devices.h"

#include <QDeadlineTimer>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

QString openErrorText(const QString& path, int error) {
    QString text = QStringLiteral("Cannot open camera %1: %2").arg(path, v4l2ErrorText(error));
    if (error == -EACCES || error == -EPERM)
        text += QStringLiteral(" (add your user to group video)");
    return text;
}

QString streamErrorText(int error) {
    if (error == -EBUSY)
        return QStringLiteral("it is in use by another program");
    return QStringLiteral("streaming does not start (%1)").arg(v4l2ErrorText(error));
}

} // namespace

V4l2Device::V4l2Device(std::shared_ptr<V4l2Io> io) : io_(std::move(io)) {}

V4l2Device::~V4l2Device() {
    close();
}

bool V4l2Device::open(const QString& path) {
    close();
    path_ = path;
    error_.clear();
    const int fd = io_->open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return openFailed(openErrorText(path, fd));
    fd_ = fd;
    v4l2_capability caps{};
    if (io_->ioctl(fd_, VIDIOC_QUERYCAP, &caps) != 0 || !v4l2CanCapture(caps))
        return openFailed(QStringLiteral("%1 is not a camera that streams video").arg(path));
    QString reason;
    if (!startStreaming(preferredSize_, preferredInterval_, reason))
        return openFailed(QStringLiteral("Cannot use camera %1: %2").arg(path, reason));
    return true;
}

void V4l2Device::close() {
    buffers_.reset();
    if (fd_ >= 0)
        io_->close(fd_);
    fd_ = -1;
}

bool V4l2Device::openFailed(const QString& reason) {
    close();
    error_ = reason;
    return false;
}

bool V4l2Device::failed(int error, const QString& what) {
    if (error == -ENODEV) {
        close();
        error_ = QStringLiteral("Camera %1 was disconnected").arg(path_);
    } else {
        error_ = what;
    }
    return false;
}

bool V4l2Device::notOpen() {
    error_ = path_.isEmpty() ? QStringLiteral("No camera is open")
                             : QStringLiteral("Camera %1 is not open").arg(path_);
    return false;
}

bool V4l2Device::startStreaming(QSize wanted, V4l2Interval interval, QString& reason) {
    if (!setRgb24Format(*io_, fd_, wanted, layout_, reason))
        return false;
    setInterval(interval);
    buffers_ = std::make_unique<V4l2Buffers>(*io_, fd_);
    if (const int result = buffers_->start(kBufferCount); result != 0) {
        buffers_.reset();
        reason = streamErrorText(result);
        return false;
    }
    return true;
}

void V4l2Device::setInterval(V4l2Interval interval) {
    if (!interval.isValid())
        return;
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (io_->ioctl(fd_, VIDIOC_G_PARM, &parm) != 0 ||
        !(parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME))
        return;
    parm.parm.capture.timeperframe = {interval.numerator, interval.denominator};
    io_->ioctl(fd_, VIDIOC_S_PARM, &parm); // the camera keeps its rate when it refuses
}

bool V4l2Device::grab(QImage& frame) {
    if (!isOpen() || !buffers_)
        return notOpen();
    const QDeadlineTimer deadline(kGrabWaitMs);
    const QString stopped = QStringLiteral("Camera %1 stopped sending frames").arg(path_);
    for (;;) {
        const int ready = io_->pollReadable(fd_, int(deadline.remainingTime()));
        if (ready == 0)
            return failed(-ETIMEDOUT, stopped);
        V4l2Buffers::Frame newest;
        const int taken = ready < 0 ? ready : buffers_->takeNewest(newest);
        if (taken == -EIO)
            return failed(taken, stopped);
        if (taken < 0)
            return failed(taken,
                          QStringLiteral("Camera %1 failed: %2").arg(path_, v4l2ErrorText(taken)));
        if (taken > 0 && deliver(newest, frame))
            return true;
        if (deadline.hasExpired())
            return failed(-ETIMEDOUT, stopped);
    }
}

// Hands a usable newest frame to `frame`; a damaged or short one is dropped.
bool V4l2Device::deliver(const V4l2Buffers::Frame& newest, QImage& frame) {
    QImage image = newest.damaged ? QImage() : rgb24Image(newest.data, newest.bytes, layout_);
    buffers_->giveBack(newest.index);
    if (image.isNull())
        return false;
    frame = std::move(image);
    return true;
}

QImage rgb24Image(const uint8_t* data, size_t bytes, const V4l2FrameLayout& layout) {
    const int width = layout.size.width(), height = layout.size.height();
    if (!data || width <= 0 || height <= 0 || layout.bytesPerLine < width * 3)
        return {};
    const size_t needed = size_t(layout.bytesPerLine) * (height - 1) + size_t(width) * 3;
    if (bytes < needed)
        return {};
    // Row by row: the last row of a frame need not be followed by padding.
    QImage image(width, height, QImage::Format_RGB888);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), data + size_t(y) * layout.bytesPerLine, size_t(width) * 3);
    return image;
}
