#pragma once

#include <QString>
#include <array>
#include <cstdint>

// Data register addresses of LPT1, LPT2 and LPT3.
inline constexpr std::array<uint16_t, 3> kLptAddresses{888, 632, 956};

// Device node of the parallel port at a legacy I/O address (888, 632 or 956). The port is the
// parportN whose <procRoot>/parportN/base-addr starts with that address in decimal; when none
// does, 888, 632 and 956 fall back to parport0, parport1 and parport2 (PCI cards sit at other
// addresses, so users pick the LPT number instead). Any other address has no device: "".
QString parportDevice(uint16_t address,
                      const QString& procRoot = QStringLiteral("/proc/sys/dev/parport"),
                      const QString& devRoot = QStringLiteral("/dev"));
