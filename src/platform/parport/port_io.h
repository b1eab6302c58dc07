#pragma once

#include "platform/parport/parallel_port.h"

#include <QString>
#include <cstdint>
#include <functional>

// The program's way to the parallel port. Address 0 means "no port configured" and is never
// passed on; bits above 7 are ignored. When the port cannot be reached the operator is told why
// once, when it first fails (so repeated relay pulses do not flood the status bar), and told
// again with an empty text when it is reached after a failure.
class PortIO {
public:
    // condition receives why the port cannot be reached, or "" once it is reached again.
    PortIO(ParallelPort& port, std::function<void(const QString&)> condition);

    void PortOut(uint16_t address, uint8_t value);
    void SetPortBit(uint16_t address, uint8_t bit);
    void ClrPortBit(uint16_t address, uint8_t bit);

private:
    void check(uint16_t address, bool reached);

    ParallelPort& port_;
    std::function<void(const QString&)> condition_;
    uint16_t failing_ = 0; // the address last reported unreachable, 0 when none
};
