#include "platform/capture/v4l2_io.h"

#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <libv4l2.h>
#include <poll.h>
#include <sys/mman.h>

namespace {

class SystemV4l2Io : public V4l2Io {
public:
    // A node libv4l2 will not take on (a metadata node of a camera, for instance) stays open
    // without conversion: the library passes calls on such descriptors straight to the kernel,
    // and the capability check above this layer turns the node away with a clear reason.
    int open(const QString& path, int flags) override {
        const int fd = ::open(QFile::encodeName(path).constData(), flags);
        if (fd < 0)
            return -errno;
        v4l2_fd_open(fd, 0);
        return fd;
    }
    void close(int fd) override { v4l2_close(fd); }
    int ioctl(int fd, unsigned long request, void* arg) override {
        int result;
        do {
            result = v4l2_ioctl(fd, request, arg);
        } while (result < 0 && errno == EINTR);
        return result < 0 ? -errno : 0;
    }
    void* mmap(int fd, size_t length, int64_t offset) override {
        void* start = v4l2_mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_SHARED, fd, offset);
        return start == MAP_FAILED ? nullptr : start;
    }
    void munmap(void* start, size_t length) override { v4l2_munmap(start, length); }
    int pollReadable(int fd, int timeoutMs) override;
};

int SystemV4l2Io::pollReadable(int fd, int timeoutMs) {
    const QDeadlineTimer deadline(std::max(timeoutMs, 0));
    for (;;) {
        pollfd entry{fd, POLLIN, 0};
        const int result = ::poll(&entry, 1, int(deadline.remainingTime()));
        if (result > 0)
            return 1;
        if (result == 0)
            return 0;
        if (errno != EINTR)
            return -errno;
    }
}

} // namespace

std::shared_ptr<V4l2Io> systemV4l2Io() {
    return std::make_shared<SystemV4l2Io>();
}

QString v4l2ErrorText(int error) {
    return QString::fromLocal8Bit(std::strerror(std::abs(error)));
}
