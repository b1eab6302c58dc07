#include "platform/capture/v4l2_device.h"

#include <cerrno>
#include <linux/videodev2.h>

// The controls and formats of an open V4l2Device.

std::vector<V4l2Control> V4l2Device::controls() {
    return isOpen() ? listV4l2Controls(*io_, fd_) : std::vector<V4l2Control>();
}

QString V4l2Device::controlName(uint32_t id) {
    V4l2Control control;
    return queryV4l2Control(*io_, fd_, id, control)
               ? control.name
               : QStringLiteral("control 0x%1").arg(id, 8, 16, QChar('0'));
}

bool V4l2Device::controlValue(uint32_t id, int& value) {
    if (!isOpen())
        return notOpen();
    const int result = readV4l2Control(*io_, fd_, id, value);
    return result == 0 ||
           failed(result,
                  QStringLiteral("Cannot read %1: %2").arg(controlName(id), v4l2ErrorText(result)));
}

bool V4l2Device::setControl(uint32_t id, int value) {
    if (!isOpen())
        return notOpen();
    const int result = writeV4l2Control(*io_, fd_, id, value);
    return result == 0 ||
           failed(result,
                  QStringLiteral("Cannot set %1: %2").arg(controlName(id), v4l2ErrorText(result)));
}

QStringList V4l2Device::restoreDefaults() {
    QStringList refusals;
    for (const V4l2Control& listed : controls()) {
        // Flags change as others are set: auto exposure back on makes manual exposure inactive.
        V4l2Control now;
        if (!isOpen() || !queryV4l2Control(*io_, fd_, listed.id, now))
            continue;
        if (now.readOnly || now.inactive || now.value == now.defaultValue)
            continue;
        if (!setControl(now.id, now.defaultValue))
            refusals.append(error_);
    }
    return refusals;
}

std::vector<V4l2PixelFormat> V4l2Device::formats() {
    return isOpen() ? queryPixelFormats(*io_, fd_) : std::vector<V4l2PixelFormat>();
}

V4l2Interval V4l2Device::interval() {
    v4l2_streamparm parm{};
    parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (!isOpen() || io_->ioctl(fd_, VIDIOC_G_PARM, &parm) != 0 ||
        !(parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME))
        return {};
    return {parm.parm.capture.timeperframe.numerator, parm.parm.capture.timeperframe.denominator};
}

bool V4l2Device::applyFormat(QSize size, V4l2Interval interval) {
    if (!isOpen())
        return notOpen();
    const QSize previousSize = layout_.size;
    const V4l2Interval previousInterval = this->interval();
    buffers_.reset(); // the format cannot change while buffers exist
    QString reason;
    if (startStreaming(size, interval, reason)) {
        preferredSize_ = layout_.size;
        if (interval.isValid())
            preferredInterval_ = interval;
        return true;
    }
    const QString message = QStringLiteral("Camera %1 cannot deliver %2x%3: %4")
                                .arg(path_)
                                .arg(size.width())
                                .arg(size.height())
                                .arg(reason);
    QString ignored;
    if (!startStreaming(previousSize, previousInterval, ignored))
        close();
    error_ = message;
    return false;
}
