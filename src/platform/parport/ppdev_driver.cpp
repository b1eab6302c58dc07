#include "platform/parport/ppdev_driver.h"

#include <QFile>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <future>
#include <linux/ppdev.h>
#include <mutex>
#include <set>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

// How long a claim waits for another program to let go of the port.
constexpr auto kClaimWait = std::chrono::milliseconds(300);

// Devices (by st_rdev) with a claim still waiting after its caller gave up.
struct PendingClaims {
    std::mutex mutex;
    std::set<dev_t> devices;
};

class SystemPpdevDriver : public PpdevDriver {
public:
    int open(const QString& device, int& fd) override {
        fd = ::open(QFile::encodeName(device).constData(), O_RDWR | O_CLOEXEC);
        return fd < 0 ? errno : 0;
    }
    int claim(int fd) override;
    int readData(int fd, uint8_t& value) override {
        unsigned char data = 0;
        if (::ioctl(fd, PPRDATA, &data) != 0)
            return errno;
        value = data;
        return 0;
    }
    int writeData(int fd, uint8_t value) override {
        unsigned char data = value;
        return ::ioctl(fd, PPWDATA, &data) == 0 ? 0 : errno;
    }
    void release(int fd) override { ::ioctl(fd, PPRELEASE); }
    void close(int fd) override { ::close(fd); }

private:
    std::shared_ptr<PendingClaims> pending_ = std::make_shared<PendingClaims>();
};

// PPCLAIM sleeps for as long as another program holds the port, so it runs in a helper thread on
// a duplicate descriptor and the caller stops waiting after kClaimWait. The caller then closes
// its descriptor; when the late claim finally succeeds the helper closes the duplicate, which
// drops the last reference to the open file and with it the claim. Meanwhile further claims of
// that device fail at once rather than piling up waiting threads.
int SystemPpdevDriver::claim(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    const dev_t device = info.st_rdev;
    {
        std::lock_guard lock(pending_->mutex);
        if (!pending_->devices.insert(device).second)
            return EBUSY;
    }
    const int helperFd = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (helperFd < 0) {
        const int error = errno;
        std::lock_guard lock(pending_->mutex);
        pending_->devices.erase(device);
        return error;
    }
    std::promise<int> done;
    std::future<int> result = done.get_future();
    try {
        std::thread([helperFd, device, pending = pending_, done = std::move(done)]() mutable {
            const int error = ::ioctl(helperFd, PPCLAIM) == 0 ? 0 : errno;
            ::close(helperFd);
            {
                std::lock_guard lock(pending->mutex);
                pending->devices.erase(device);
            }
            done.set_value(error);
        }).detach();
    } catch (const std::system_error&) {
        ::close(helperFd);
        std::lock_guard lock(pending_->mutex);
        pending_->devices.erase(device);
        return EAGAIN;
    }
    return result.wait_for(kClaimWait) == std::future_status::ready ? result.get() : EBUSY;
}

} // namespace

std::unique_ptr<PpdevDriver> makeSystemPpdevDriver() {
    return std::make_unique<SystemPpdevDriver>();
}
