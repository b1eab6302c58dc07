#pragma once

#include "platform/capture/v4l2_io.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// The memory-mapped frame buffers of one streaming device: the device fills the queued ones,
// the program takes filled ones out and gives them back once read.
class V4l2Buffers {
public:
    struct Frame {
        uint32_t index = 0;
        const uint8_t* data = nullptr;
        size_t bytes = 0;     // filled bytes, never more than the mapping holds
        bool damaged = false; // the driver flagged the frame as corrupt
    };

    // `io` must outlive this object.
    V4l2Buffers(V4l2Io& io, int fd);
    ~V4l2Buffers();
    V4l2Buffers(const V4l2Buffers&) = delete;
    V4l2Buffers& operator=(const V4l2Buffers&) = delete;

    // Asks for `count` buffers (the driver may grant fewer), maps and queues all and starts
    // streaming. 0 or -errno; after a failure nothing is left mapped.
    int start(uint32_t count);
    // Stops streaming and frees the buffers; safe when not started or already stopped, and on a
    // device that has gone away.
    void stop();
    size_t count() const { return maps_.size(); }

    // Takes out every filled buffer, gives back all but the newest and returns 1 with `newest`
    // set (it stays out until giveBack), 0 when none was filled, or -errno.
    int takeNewest(Frame& newest);
    int giveBack(uint32_t index);

private:
    struct Mapping {
        void* start = nullptr;
        size_t length = 0;
    };

    int mapAndQueue(uint32_t index);
    int dequeue(Frame& frame);

    V4l2Io& io_;
    int fd_;
    std::vector<Mapping> maps_;
    bool requested_ = false;
    bool streaming_ = false;
};
