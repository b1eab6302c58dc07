#include "platform/parport/port_io.h"

PortIO::PortIO(ParallelPort& port, std::function<void(const QString&)> condition)
    : port_(port), condition_(std::move(condition)) {}

void PortIO::PortOut(uint16_t address, uint8_t value) {
    if (address != 0)
        check(address, port_.PortOut(address, value));
}

void PortIO::SetPortBit(uint16_t address, uint8_t bit) {
    if (address != 0 && bit <= 7)
        check(address, port_.SetPortBit(address, bit));
}

void PortIO::ClrPortBit(uint16_t address, uint8_t bit) {
    if (address != 0 && bit <= 7)
        check(address, port_.ClrPortBit(address, bit));
}

void PortIO::check(uint16_t address, bool reached) {
    if (reached) {
        if (failing_ != 0 && condition_)
            condition_(QString());
        failing_ = 0;
        return;
    }
    if (failing_ == address)
        return;
    failing_ = address;
    if (!condition_)
        return;
    QString reason = port_.unavailableReason(address);
    if (reason.isEmpty())
        reason = QStringLiteral("The parallel port at address %1 cannot be reached").arg(address);
    condition_(reason);
}
