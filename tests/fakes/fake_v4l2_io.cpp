#include "fakes/fake_v4l2_io.h"

#include <algorithm>

int FakeV4l2Io::answer(FakeCamera& cam, unsigned long request, void* arg) {
    switch (request) {
    case VIDIOC_QUERYCAP:
        return capabilities(cam, *static_cast<v4l2_capability*>(arg));
    case VIDIOC_ENUM_FMT:
        return enumFormats(cam, *static_cast<v4l2_fmtdesc*>(arg));
    case VIDIOC_ENUM_FRAMESIZES:
        return enumSizes(cam, *static_cast<v4l2_frmsizeenum*>(arg));
    case VIDIOC_ENUM_FRAMEINTERVALS:
        return enumIntervals(cam, *static_cast<v4l2_frmivalenum*>(arg));
    case VIDIOC_S_FMT:
        return setFormat(cam, *static_cast<v4l2_format*>(arg));
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM:
        return parameters(cam, *static_cast<v4l2_streamparm*>(arg), request == VIDIOC_S_PARM);
    case VIDIOC_REQBUFS:
        return requestBuffers(cam, *static_cast<v4l2_requestbuffers*>(arg));
    case VIDIOC_QUERYBUF:
        return queryBuffer(cam, *static_cast<v4l2_buffer*>(arg));
    case VIDIOC_QBUF:
        return queue(cam, *static_cast<v4l2_buffer*>(arg));
    case VIDIOC_DQBUF:
        return dequeue(cam, *static_cast<v4l2_buffer*>(arg));
    case VIDIOC_STREAMON:
    case VIDIOC_STREAMOFF:
        return stream(cam, request == VIDIOC_STREAMON);
    case VIDIOC_QUERYCTRL:
        return queryControl(cam, *static_cast<v4l2_queryctrl*>(arg));
    case VIDIOC_QUERYMENU:
        return queryMenu(cam, *static_cast<v4l2_querymenu*>(arg));
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL:
        return control(cam, *static_cast<v4l2_control*>(arg), request == VIDIOC_S_CTRL);
    default:
        return -ENOTTY;
    }
}

int FakeV4l2Io::capabilities(FakeCamera& cam, v4l2_capability& caps) {
    std::strncpy(reinterpret_cast<char*>(caps.card), cam.card.c_str(), sizeof caps.card - 1);
    caps.version = cam.version;
    caps.capabilities = cam.capabilities;
    caps.device_caps = cam.deviceCaps;
    return 0;
}

int FakeV4l2Io::enumFormats(FakeCamera& cam, v4l2_fmtdesc& desc) {
    if (desc.index >= cam.formats.size())
        return -EINVAL;
    const FakeCamera::Format& f = cam.formats[desc.index];
    desc.pixelformat = f.fourcc;
    desc.flags = f.flags;
    std::strncpy(reinterpret_cast<char*>(desc.description), f.description.c_str(), 31);
    return 0;
}

int FakeV4l2Io::queryBuffer(FakeCamera& cam, v4l2_buffer& buffer) {
    if (buffer.index >= cam.buffers.size())
        return -EINVAL;
    buffer.length = uint32_t(cam.buffers[buffer.index].memory.size());
    buffer.m.offset = uint32_t(buffer.index * kOffsetStep);
    return 0;
}

int FakeV4l2Io::stream(FakeCamera& cam, bool on) {
    calls.append(on ? "STREAMON" : "STREAMOFF");
    if (on && cam.streamonError)
        return cam.streamonError;
    if (!on) // the driver takes back every buffer
        cam.queued.clear(), cam.filled.clear();
    cam.streaming = on;
    return 0;
}

int FakeV4l2Io::setFormat(FakeCamera& cam, v4l2_format& format) {
    v4l2_pix_format& pix = format.fmt.pix;
    calls.append(QStringLiteral("S_FMT %1x%2").arg(pix.width).arg(pix.height));
    if (!cam.buffers.empty())
        return -EBUSY;
    if (cam.refuseFormat || cam.refuseSize == QSize(int(pix.width), int(pix.height)))
        return -EINVAL;
    if (!findFormat(cam, pix.pixelformat)) // drivers answer with a format of their own
        pix.pixelformat = cam.formats.empty() ? V4L2_PIX_FMT_MJPEG : cam.formats[0].fourcc;
    if (cam.adjustSizeTo)
        pix.width = uint32_t(cam.adjustSizeTo->width()),
        pix.height = uint32_t(cam.adjustSizeTo->height());
    cam.size = QSize(int(pix.width), int(pix.height));
    cam.bytesPerLine = pix.width * 3 + uint32_t(cam.rowPadding);
    pix.bytesperline = cam.bytesPerLine;
    pix.sizeimage = cam.bytesPerLine * pix.height;
    return 0;
}

int FakeV4l2Io::requestBuffers(FakeCamera& cam, v4l2_requestbuffers& request) {
    calls.append(QStringLiteral("REQBUFS %1").arg(request.count));
    if (request.memory != V4L2_MEMORY_MMAP || cam.streaming)
        return -EBUSY;
    for (const FakeCamera::Buffer& b : cam.buffers)
        if (b.maps > 0)
            return -EBUSY;
    cam.buffers.clear();
    cam.queued.clear();
    cam.filled.clear();
    request.count = std::min(request.count, cam.maxBuffers);
    const size_t bytes = size_t(cam.bytesPerLine) * size_t(cam.size.height());
    for (uint32_t i = 0; i < request.count; ++i)
        cam.buffers.push_back({std::vector<uint8_t>(bytes), 0, 0, 0});
    return 0;
}

int FakeV4l2Io::queue(FakeCamera& cam, v4l2_buffer& buffer) {
    calls.append(QStringLiteral("QBUF %1").arg(buffer.index));
    const auto in = [&](const std::deque<uint32_t>& q) {
        return std::find(q.begin(), q.end(), buffer.index) != q.end();
    };
    if (buffer.index >= cam.buffers.size() || in(cam.queued) || in(cam.filled))
        return -EINVAL;
    cam.queued.push_back(buffer.index);
    return 0;
}

int FakeV4l2Io::dequeue(FakeCamera& cam, v4l2_buffer& buffer) {
    if (cam.dequeueError)
        return cam.dequeueError;
    if (!cam.streaming)
        return -EINVAL;
    if (cam.filled.empty())
        return -EAGAIN;
    buffer.index = cam.filled.front();
    cam.filled.pop_front();
    buffer.bytesused = cam.buffers[buffer.index].bytesUsed;
    buffer.flags = cam.buffers[buffer.index].flags;
    calls.append(QStringLiteral("DQBUF %1").arg(buffer.index));
    return 0;
}

int FakeV4l2Io::queryControl(FakeCamera& cam, v4l2_queryctrl& query) {
    std::vector<FakeCamera::Control*> sorted;
    for (FakeCamera::Control& c : cam.controls)
        sorted.push_back(&c);
    std::sort(sorted.begin(), sorted.end(),
              [](auto* a, auto* b) { return a->query.id < b->query.id; });
    const bool next = query.id & V4L2_CTRL_FLAG_NEXT_CTRL;
    const uint32_t id = query.id & ~V4L2_CTRL_FLAG_NEXT_CTRL;
    for (FakeCamera::Control* c : sorted) {
        if (next ? c->query.id > id : c->query.id == id) {
            query = c->query;
            return 0;
        }
    }
    return -EINVAL;
}

int FakeV4l2Io::queryMenu(FakeCamera& cam, v4l2_querymenu& entry) {
    FakeCamera::Control* c = cam.control(entry.id);
    if (!c)
        return -EINVAL;
    if (c->query.type == V4L2_CTRL_TYPE_INTEGER_MENU) {
        if (entry.index >= c->integerMenu.size())
            return -EINVAL;
        entry.value = c->integerMenu[entry.index];
        return 0;
    }
    if (entry.index >= c->menu.size() || c->menu[entry.index].empty())
        return -EINVAL;
    std::strncpy(reinterpret_cast<char*>(entry.name), c->menu[entry.index].c_str(), 31);
    return 0;
}

int FakeV4l2Io::control(FakeCamera& cam, v4l2_control& control, bool set) {
    FakeCamera::Control* c = cam.control(control.id);
    if (!c)
        return -EINVAL;
    if (!set) {
        if (!c->getError)
            control.value = c->value;
        return c->getError;
    }
    calls.append(QStringLiteral("S_CTRL %1 %2").arg(control.id).arg(control.value));
    if (c->setError)
        return c->setError;
    if (c->query.flags & V4L2_CTRL_FLAG_READ_ONLY)
        return -EACCES;
    if (control.value < c->query.minimum || control.value > c->query.maximum)
        return -ERANGE;
    c->value = control.value;
    if (cam.onSet)
        cam.onSet(cam, control.id, control.value);
    return 0;
}

int FakeV4l2Io::enumSizes(FakeCamera& cam, v4l2_frmsizeenum& entry) {
    const FakeCamera::Format* f = findFormat(cam, entry.pixel_format);
    if (!f)
        return -EINVAL;
    if (f->range) {
        if (entry.index > 0)
            return -EINVAL;
        const bool continuous = f->range->step_width == 1 && f->range->step_height == 1;
        entry.type = continuous ? V4L2_FRMSIZE_TYPE_CONTINUOUS : V4L2_FRMSIZE_TYPE_STEPWISE;
        entry.stepwise = *f->range;
        return 0;
    }
    if (entry.index >= f->sizes.size())
        return -EINVAL;
    entry.type = V4L2_FRMSIZE_TYPE_DISCRETE;
    entry.discrete = {uint32_t(f->sizes[entry.index].width()),
                      uint32_t(f->sizes[entry.index].height())};
    return 0;
}

int FakeV4l2Io::enumIntervals(FakeCamera& cam, v4l2_frmivalenum& entry) {
    const FakeCamera::Format* f = findFormat(cam, entry.pixel_format);
    if (!f || entry.index >= f->intervals.size())
        return -EINVAL;
    entry.type = V4L2_FRMIVAL_TYPE_DISCRETE;
    entry.discrete = {f->intervals[entry.index].numerator, f->intervals[entry.index].denominator};
    return 0;
}

int FakeV4l2Io::parameters(FakeCamera& cam, v4l2_streamparm& parm, bool set) {
    v4l2_captureparm& capture = parm.parm.capture;
    if (set) {
        calls.append(QStringLiteral("S_PARM %1/%2")
                         .arg(capture.timeperframe.numerator)
                         .arg(capture.timeperframe.denominator));
        if (!cam.timePerFrame)
            return -EINVAL;
        cam.interval = {capture.timeperframe.numerator, capture.timeperframe.denominator};
    }
    capture.capability = cam.timePerFrame ? V4L2_CAP_TIMEPERFRAME : 0;
    capture.timeperframe = {cam.interval.numerator, cam.interval.denominator};
    return 0;
}
