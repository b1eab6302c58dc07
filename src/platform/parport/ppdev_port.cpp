#include "platform/parport/ppdev_port.h"

#include "platform/parport/parport_address.h"

#include <cerrno>

namespace {

QString openError(const QString& path, int error) {
    const QString text = qt_error_string(error);
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("No parallel port at %1 (%2)").arg(path, text);
    case EACCES:
    case EPERM:
        return QStringLiteral("Cannot open %1: %2 (add your user to group lp)").arg(path, text);
    default:
        return QStringLiteral("Cannot open %1: %2").arg(path, text);
    }
}

QString claimError(const QString& path, int error) {
    const QString text = qt_error_string(error);
    switch (error) {
    case ENODEV:
    case ENXIO:
        return QStringLiteral("No parallel port at %1 (%2)").arg(path, text);
    case ENOTTY:
        return QStringLiteral("%1 is not a parallel port (%2)").arg(path, text);
    case EBUSY:
        return QStringLiteral("%1 is in use by another program (%2)").arg(path, text);
    default:
        return QStringLiteral("Cannot claim %1: %2").arg(path, text);
    }
}

} // namespace

PpdevParallelPort::PpdevParallelPort(QString procRoot, QString devRoot)
    : PpdevParallelPort(makeSystemPpdevDriver(), std::move(procRoot), std::move(devRoot)) {}

PpdevParallelPort::PpdevParallelPort(std::unique_ptr<PpdevDriver> driver, QString procRoot,
                                     QString devRoot)
    : driver_(std::move(driver)), procRoot_(std::move(procRoot)), devRoot_(std::move(devRoot)) {}

PpdevParallelPort::~PpdevParallelPort() {
    for (const auto& [path, device] : devices_) {
        driver_->release(device.fd);
        driver_->close(device.fd);
    }
}

bool PpdevParallelPort::PortOut(uint16_t address, uint8_t value) {
    return change(address, [value](uint8_t) { return value; });
}

bool PpdevParallelPort::SetPortBit(uint16_t address, uint8_t bit) {
    if (bit > 7)
        return false;
    return change(address, [bit](uint8_t r) { return uint8_t(r | (1u << bit)); });
}

bool PpdevParallelPort::ClrPortBit(uint16_t address, uint8_t bit) {
    if (bit > 7)
        return false;
    return change(address, [bit](uint8_t r) { return uint8_t(r & ~(1u << bit)); });
}

QString PpdevParallelPort::unavailableReason(uint16_t address) const {
    const auto it = reasons_.find(address);
    return it == reasons_.end() ? QString() : it->second;
}

bool PpdevParallelPort::change(uint16_t address, const std::function<uint8_t(uint8_t)>& next) {
    Device* device = reach(address);
    if (!device)
        return false;
    const uint8_t value = next(device->shadow);
    if (const int error = driver_->writeData(device->fd, value)) {
        reasons_[address] =
            QStringLiteral("Cannot write to %1: %2").arg(device->path, qt_error_string(error));
        return false;
    }
    device->shadow = value;
    reasons_.erase(address);
    return true;
}

// The open device for the address, opening it on first use; nullptr with reasons_ set when it
// cannot be reached.
PpdevParallelPort::Device* PpdevParallelPort::reach(uint16_t address) {
    auto known = pathOf_.find(address);
    const QString path =
        known != pathOf_.end() ? known->second : parportDevice(address, procRoot_, devRoot_);
    if (path.isEmpty()) {
        reasons_[address] =
            QStringLiteral("No parallel port is known at address %1 (use 888, 632 or 956)")
                .arg(address);
        return nullptr;
    }
    auto it = devices_.find(path);
    if (it == devices_.end()) {
        Device device;
        const QString error = openDevice(path, device);
        if (!error.isEmpty()) {
            reasons_[address] = error;
            return nullptr;
        }
        it = devices_.emplace(path, device).first;
    }
    pathOf_[address] = path;
    return &it->second;
}

// Opens, claims and reads the current data lines; returns the failure text or "".
QString PpdevParallelPort::openDevice(const QString& path, Device& device) {
    int fd = -1;
    if (const int error = driver_->open(path, fd))
        return openError(path, error);
    if (const int error = driver_->claim(fd)) {
        driver_->close(fd);
        return claimError(path, error);
    }
    uint8_t current = 0;
    device = Device{path, fd, driver_->readData(fd, current) == 0 ? current : uint8_t(0)};
    return QString();
}
