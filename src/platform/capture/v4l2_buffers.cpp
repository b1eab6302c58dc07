#include "platform/capture/v4l2_buffers.h"

#include <algorithm>
#include <cerrno>
#include <linux/videodev2.h>

namespace {

v4l2_buffer mmapBuffer(uint32_t index) {
    v4l2_buffer buffer{};
    buffer.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buffer.memory = V4L2_MEMORY_MMAP;
    buffer.index = index;
    return buffer;
}

// More than a device could have filled between two grabs; a guard against a driver that never
// runs out.
constexpr int kMaxDequeues = 64;

} // namespace

V4l2Buffers::V4l2Buffers(V4l2Io& io, int fd) : io_(io), fd_(fd) {}

V4l2Buffers::~V4l2Buffers() {
    stop();
}

int V4l2Buffers::start(uint32_t count) {
    stop();
    v4l2_requestbuffers request{};
    request.count = count;
    request.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    request.memory = V4L2_MEMORY_MMAP;
    int result = io_.ioctl(fd_, VIDIOC_REQBUFS, &request);
    requested_ = result == 0;
    if (result == 0 && request.count == 0)
        result = -ENOMEM;
    for (uint32_t index = 0; result == 0 && index < request.count; ++index)
        result = mapAndQueue(index);
    if (result == 0) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        result = io_.ioctl(fd_, VIDIOC_STREAMON, &type);
    }
    streaming_ = result == 0;
    if (result != 0)
        stop();
    return result;
}

int V4l2Buffers::mapAndQueue(uint32_t index) {
    v4l2_buffer buffer = mmapBuffer(index);
    if (const int result = io_.ioctl(fd_, VIDIOC_QUERYBUF, &buffer); result != 0)
        return result;
    void* start = io_.mmap(fd_, buffer.length, buffer.m.offset);
    if (!start)
        return -ENOMEM;
    maps_.push_back({start, buffer.length});
    return io_.ioctl(fd_, VIDIOC_QBUF, &buffer);
}

void V4l2Buffers::stop() {
    if (streaming_) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        io_.ioctl(fd_, VIDIOC_STREAMOFF, &type);
        streaming_ = false;
    }
    if (!requested_)
        return;
    requested_ = false;
    for (const Mapping& map : maps_)
        io_.munmap(map.start, map.length);
    maps_.clear();
    v4l2_requestbuffers release{};
    release.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    release.memory = V4L2_MEMORY_MMAP;
    io_.ioctl(fd_, VIDIOC_REQBUFS, &release);
}

int V4l2Buffers::dequeue(Frame& frame) {
    v4l2_buffer buffer = mmapBuffer(0);
    if (const int result = io_.ioctl(fd_, VIDIOC_DQBUF, &buffer); result != 0)
        return result;
    if (buffer.index >= maps_.size())
        return -EIO;
    const Mapping& map = maps_[buffer.index];
    frame.index = buffer.index;
    frame.data = static_cast<const uint8_t*>(map.start);
    frame.bytes = std::min<size_t>(buffer.bytesused, map.length);
    frame.damaged = buffer.flags & V4L2_BUF_FLAG_ERROR;
    return 0;
}

int V4l2Buffers::takeNewest(Frame& newest) {
    if (!streaming_)
        return -EINVAL;
    bool taken = false;
    for (int round = 0; round < kMaxDequeues; ++round) {
        Frame frame;
        const int result = dequeue(frame);
        if (result == -EAGAIN)
            break;
        if (taken)
            giveBack(newest.index);
        if (result != 0)
            return result;
        newest = frame;
        taken = true;
    }
    return taken ? 1 : 0;
}

int V4l2Buffers::giveBack(uint32_t index) {
    v4l2_buffer buffer = mmapBuffer(index);
    return io_.ioctl(fd_, VIDIOC_QBUF, &buffer);
}
