#include "settings/derived.h"

#include "platform/parport/parport_address.h"

#include <cmath>

namespace {
constexpr double kArcsecPerRadian = 206265.0;
}

double arcsecPerPixel(double pitchMicrons, double focalLengthMm) {
    return 2.0 * std::atan((pitchMicrons / 1000.0) / (2.0 * focalLengthMm)) * kArcsecPerRadian;
}

uint16_t lxPortAddressFor(int16_t portIndex) {
    if (portIndex < 0 || portIndex >= static_cast<int16_t>(kLptAddresses.size()))
        return 0;
    return kLptAddresses[static_cast<size_t>(portIndex)];
}

int16_t lxCommPortFor(int16_t portIndex) {
    return portIndex > 2 ? static_cast<int16_t>(portIndex - 2) : int16_t{0};
}
