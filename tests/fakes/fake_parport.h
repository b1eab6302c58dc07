#pragma once

#include "platform/parport/parallel_port.h"

#include <QStringList>
#include <map>

// Parallel ports as data registers per address; records each call as "out 888 0",
// "set 888 6" or "clr 888 6".
class FakeParallelPort : public ParallelPort {
public:
    bool PortOut(uint16_t address, uint8_t value) override {
        return apply(QStringLiteral("out %1 %2").arg(address).arg(value), address,
                     [&](uint8_t) { return value; });
    }
    bool SetPortBit(uint16_t address, uint8_t bit) override {
        return apply(QStringLiteral("set %1 %2").arg(address).arg(bit), address,
                     [&](uint8_t r) { return uint8_t(r | (1u << bit)); });
    }
    bool ClrPortBit(uint16_t address, uint8_t bit) override {
        return apply(QStringLiteral("clr %1 %2").arg(address).arg(bit), address,
                     [&](uint8_t r) { return uint8_t(r & ~(1u << bit)); });
    }
    QString unavailableReason(uint16_t address) const override {
        return QStringLiteral("no parallel port at address %1").arg(address);
    }

    std::map<uint16_t, uint8_t> registers;
    QStringList calls;
    bool available = true;

private:
    template <class F> bool apply(const QString& call, uint16_t address, F change) {
        calls.append(call);
        if (!available)
            return false;
        registers[address] = change(registers[address]);
        return true;
    }
};
