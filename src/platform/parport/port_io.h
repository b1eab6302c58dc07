#pragma once

#include "platform/parport/parallel_port.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <set>

// The program's way to the parallel port. Address 0 means "no port configured" and is never
// passed on; bits above 7 are ignored. When the port cannot be reached the operator is told why,
// once per address for the life of this object, so repeated relay pulses do not flood the
// status bar.
class PortIO {
public:
    // note receives a one-line operator message (shown in the status bar).
    PortIO(ParallelPort& port, std::function<void(const QString&)> note);

    void PortOut(uint16_t address, uint8_t value);
    void SetPortBit(uint16_t address, uint8_t bit);
    void ClrPortBit(uint16_t address, uint8_t bit);

private:
    void check(uint16_t address, bool reached);

    ParallelPort& port_;
    std::function<void(const QString&)> note_;
    std::set<uint16_t> noted_;
};
