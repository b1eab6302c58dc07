#pragma once

#include "platform/parport/parallel_port.h"
#include "platform/parport/ppdev_driver.h"

#include <functional>
#include <map>
#include <memory>

// Parallel ports through the Linux ppdev devices (/dev/parportN; see parportDevice for which
// one an address reaches). A port is opened and claimed on first use and kept until this object
// is destroyed. The data register is shadowed: it is read once when the port is opened, and
// single-bit calls change the shadow and write all eight lines.
// A port that cannot be reached is tried again on the next call.
class PpdevParallelPort : public ParallelPort {
public:
    explicit PpdevParallelPort(QString procRoot = QStringLiteral("/proc/sys/dev/parport"),
                               QString devRoot = QStringLiteral("/dev"));
    PpdevParallelPort(std::unique_ptr<PpdevDriver> driver, QString procRoot, QString devRoot);
    ~PpdevParallelPort() override;
    PpdevParallelPort(const PpdevParallelPort&) = delete;
    PpdevParallelPort& operator=(const PpdevParallelPort&) = delete;

    bool PortOut(uint16_t address, uint8_t value) override;
    bool SetPortBit(uint16_t address, uint8_t bit) override;
    bool ClrPortBit(uint16_t address, uint8_t bit) override;
    // Why the last call for this address failed; "" after a success or before any call.
    QString unavailableReason(uint16_t address) const override;

private:
    struct Device {
        QString path;
        int fd = -1;
        uint8_t shadow = 0;
    };

    bool change(uint16_t address, const std::function<uint8_t(uint8_t)>& next);
    Device* reach(uint16_t address);
    QString openDevice(const QString& path, Device& device);

    std::unique_ptr<PpdevDriver> driver_;
    QString procRoot_;
    QString devRoot_;
    // Keyed by device path: two addresses that resolve to one device share one claim (a second
    // claim of the same port from this process would wait for the first forever).
    std::map<QString, Device> devices_;
    std::map<uint16_t, QString> pathOf_;
    std::map<uint16_t, QString> reasons_;
};
