#include "settings/derived.h"

#include <cmath>

namespace {
constexpr double kArcsecPerRadian = 206265.0;
}

double arcsecPerPixel(double pitchMicrons, double focalLengthMm) {
    return 2.0 * std::atan((pitchMicrons / 1000.0) / (2.0 * focalLengthMm)) * kArcsecPerRadian;
}

uint16_t lxPortAddressFor(int16_t portIndex) {
    switch (portIndex) {
    case 0:
        return 888;
    case 1:
        return 632;
    case 2:
        return 956;
    default:
        return 0;
    }
}

int16_t lxCommPortFor(int16_t portIndex) {
    return portIndex > 2 ? static_cast<int16_t>(portIndex - 2) : int16_t{0};
}
