#pragma once

#include "platform/capture/v4l2_formats.h"
#include "platform/capture/v4l2_io.h"

#include <QSize>
#include <QStringList>
#include <cerrno>
#include <cstring>
#include <deque>
#include <functional>
#include <linux/videodev2.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

// One simulated camera: what it reports, how it answers and the state of its buffers.
struct FakeCamera {
    struct Format {
        uint32_t fourcc = V4L2_PIX_FMT_RGB24;
        std::string description = "RGB3";
        uint32_t flags = 0;
        std::vector<QSize> sizes;                   // discrete sizes
        std::optional<v4l2_frmsize_stepwise> range; // instead of `sizes`
        std::vector<V4l2Interval> intervals;        // the same for every size
    };
    struct Control {
        v4l2_queryctrl query{};
        std::vector<std::string> menu; // by index from 0; "" is a gap
        std::vector<int64_t> integerMenu;
        int value = 0;
        int getError = 0, setError = 0; // -errno
    };
    struct Buffer {
        std::vector<uint8_t> memory;
        uint32_t bytesUsed = 0, flags = 0;
        int maps = 0;
    };

    std::string card = "Fake Cam";
    uint32_t version = (6u << 16) | (1u << 8) | 27u;
    uint32_t capabilities = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
    uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    int openError = 0;

    std::vector<Format> formats{{V4L2_PIX_FMT_RGB24, "RGB3", 0, {{640, 480}}, {}, {}}};
    bool refuseFormat = false;         // S_FMT fails with EINVAL
    std::optional<QSize> refuseSize;   // S_FMT fails with EINVAL for this size only
    std::optional<QSize> adjustSizeTo; // the size S_FMT settles on whatever is asked
    int rowPadding = 0;                // bytes after each row
    bool timePerFrame = true;
    V4l2Interval interval{1, 30};

    std::vector<Control> controls;
    std::function<void(FakeCamera&, uint32_t id, int value)> onSet;

    uint32_t maxBuffers = 8;
    bool mapFails = false;
    int streamonError = 0, dequeueError = 0;
    bool unplugged = false; // every call fails with ENODEV

    QSize size{640, 480};
    uint32_t bytesPerLine = 640 * 3;
    std::vector<Buffer> buffers;
    std::deque<uint32_t> queued, filled;
    bool streaming = false;

    Control* control(uint32_t id) {
        for (Control& c : controls)
            if (c.query.id == id)
                return &c;
        return nullptr;
    }
    static Control makeControl(uint32_t id, const char* name, int min, int max, int value,
                               uint32_t type = V4L2_CTRL_TYPE_INTEGER) {
        Control c;
        c.query.id = id;
        c.query.type = type;
        std::strncpy(reinterpret_cast<char*>(c.query.name), name, sizeof c.query.name - 1);
        c.query.minimum = min;
        c.query.maximum = max;
        c.query.step = 1;
        c.query.default_value = value;
        c.value = value;
        return c;
    }
    // Fills the oldest queued buffer with a frame whose red bytes are `mark`, green the column
    // and blue the row (both modulo 256), padding 0xEE; returns its index, -1 when none queued.
    int produce(uint8_t mark, uint32_t flags = 0) {
        if (queued.empty())
            return -1;
        const uint32_t index = queued.front();
        queued.pop_front();
        Buffer& buffer = buffers[index];
        std::fill(buffer.memory.begin(), buffer.memory.end(), 0xEE);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                uint8_t* pixel = buffer.memory.data() + y * bytesPerLine + x * 3;
                pixel[0] = mark, pixel[1] = uint8_t(x), pixel[2] = uint8_t(y);
            }
        buffer.bytesUsed = uint32_t(buffer.memory.size());
        buffer.flags = flags;
        filled.push_back(index);
        return int(index);
    }
};

// Simulated video devices by path. Records calls that change state, e.g. "open /d/video0",
// "S_FMT 640x480", "REQBUFS 4", "QBUF 2", "DQBUF 2", "STREAMON", "S_CTRL 9963776 5",
// "munmap 1", "close 3".
class FakeV4l2Io : public V4l2Io {
public:
    int open(const QString& path, int) override {
        calls.append("open " + path);
        auto it = cameras.find(path);
        if (it == cameras.end())
            return -ENOENT;
        if (it->second.openError)
            return it->second.openError;
        open_[nextFd_] = &it->second;
        return nextFd_++;
    }
    void close(int fd) override {
        calls.append(QStringLiteral("close %1").arg(fd));
        open_.erase(fd);
    }
    int ioctl(int fd, unsigned long request, void* arg) override {
        auto it = open_.find(fd);
        if (it == open_.end())
            return -EBADF;
        FakeCamera& cam = *it->second;
        if (cam.unplugged)
            return -ENODEV;
        return answer(cam, request, arg);
    }
    void* mmap(int fd, size_t length, int64_t offset) override {
        auto it = open_.find(fd);
        const size_t index = size_t(offset) / kOffsetStep;
        if (it == open_.end() || it->second->mapFails || index >= it->second->buffers.size() ||
            length != it->second->buffers[index].memory.size())
            return nullptr;
        ++it->second->buffers[index].maps;
        return it->second->buffers[index].memory.data();
    }
    void munmap(void* start, size_t) override {
        for (auto& [path, cam] : cameras)
            for (size_t i = 0; i < cam.buffers.size(); ++i)
                if (cam.buffers[i].memory.data() == start) {
                    --cam.buffers[i].maps;
                    calls.append(QStringLiteral("munmap %1").arg(i));
                }
    }
    int pollReadable(int fd, int timeoutMs) override {
        pollTimeouts.push_back(timeoutMs);
        if (onPoll)
            onPoll();
        if (pollResult)
            return *pollResult;
        auto it = open_.find(fd);
        if (it == open_.end())
            return -EBADF;
        return it->second->unplugged || !it->second->filled.empty() ? 1 : 0;
    }

    size_t openCount() const { return open_.size(); }

    std::map<QString, FakeCamera> cameras;
    QStringList calls;
    std::vector<int> pollTimeouts;
    std::optional<int> pollResult; // answer of every poll instead of the camera's state
    std::function<void()> onPoll;  // runs at each poll, e.g. to let frames arrive

private:
    static constexpr size_t kOffsetStep = 1 << 24;

    int answer(FakeCamera& cam, unsigned long request, void* arg);
    int capabilities(FakeCamera& cam, v4l2_capability& caps);
    int enumFormats(FakeCamera& cam, v4l2_fmtdesc& desc);
    int queryBuffer(FakeCamera& cam, v4l2_buffer& buffer);
    int stream(FakeCamera& cam, bool on);
    int setFormat(FakeCamera& cam, v4l2_format& format);
    int requestBuffers(FakeCamera& cam, v4l2_requestbuffers& request);
    int queue(FakeCamera& cam, v4l2_buffer& buffer);
    int dequeue(FakeCamera& cam, v4l2_buffer& buffer);
    int queryControl(FakeCamera& cam, v4l2_queryctrl& query);
    int queryMenu(FakeCamera& cam, v4l2_querymenu& entry);
    int control(FakeCamera& cam, v4l2_control& control, bool set);
    int enumSizes(FakeCamera& cam, v4l2_frmsizeenum& entry);
    int enumIntervals(FakeCamera& cam, v4l2_frmivalenum& entry);
    int parameters(FakeCamera& cam, v4l2_streamparm& parm, bool set);
    FakeCamera::Format* findFormat(FakeCamera& cam, uint32_t fourcc) {
        for (FakeCamera::Format& f : cam.formats)
            if (f.fourcc == fourcc)
                return &f;
        return nullptr;
    }

    std::map<int, FakeCamera*> open_;
    int nextFd_ = 3;
};
