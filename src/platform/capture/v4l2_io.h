#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

// The few calls the camera code makes on a video device, behind an interface so that every
// piece of logic above it runs against a simulated camera in tests. Calls returning int give a
// negative errno value on failure.
class V4l2Io {
public:
    virtual ~V4l2Io() = default;

    // A file descriptor, or -errno.
    virtual int open(const QString& path, int flags) = 0;
    virtual void close(int fd) = 0;
    // 0 or -errno; an interrupted call is repeated, never reported.
    virtual int ioctl(int fd, unsigned long request, void* arg) = 0;
    // Maps `length` bytes of buffer memory at `offset` for reading and writing; null on failure.
    virtual void* mmap(int fd, size_t length, int64_t offset) = 0;
    virtual void munmap(void* start, size_t length) = 0;
    // Waits at most timeoutMs for the device to have something to dequeue: 1 when it has (or
    // when it reports an error, which the next dequeue then returns), 0 on timeout, -errno.
    virtual int pollReadable(int fd, int timeoutMs) = 0;
};

// The calls through libv4l2, which converts whatever the camera sends into the formats asked
// for (RGB24 in this program).
std::shared_ptr<V4l2Io> systemV4l2Io();

// The system's text for an errno value (positive or negative), e.g. "Permission denied".
QString v4l2ErrorText(int error);
