#pragma once

#include <QString>
#include <cstdint>

// The data register of a PC parallel port, addressed by its legacy I/O address:
// 888 (0x378, LPT1), 632 (0x278, LPT2) or 956 (0x3BC, LPT3). Bit i is data line Di.
class ParallelPort {
public:
    virtual ~ParallelPort() = default;

    // Each returns false, changing nothing, when the port at that address cannot be reached;
    // unavailableReason() then says why. Bits are 0..7; single-bit calls leave the other
    // seven lines as they are.
    virtual bool PortOut(uint16_t address, uint8_t value) = 0;
    virtual bool SetPortBit(uint16_t address, uint8_t bit) = 0;
    virtual bool ClrPortBit(uint16_t address, uint8_t bit) = 0;
    virtual QString unavailableReason(uint16_t address) const = 0;
};
