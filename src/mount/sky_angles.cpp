#include "mount/sky_angles.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
double wrap(double value, double period) {
    const double r = std::fmod(value, period);
    return r < 0 ? r + period : r;
}
} // namespace

double localSiderealHours(const QDateTime& utc, double longitudeDeg) {
    // Days since J2000.0 (2000-01-01 12:00 UT); the mean sidereal time's linear term.
    const double days = double(utc.toMSecsSinceEpoch() - 946728000000LL) / 86400000.0;
    const double gmstH = 18.697374558 + 24.06570982441908 * days;
    return wrap(gmstH + longitudeDeg / 15.0, 24.0);
}

double hourAngleHours(double lstH, double raH) {
    return wrap(lstH - raH + 12.0, 24.0) - 12.0;
}

double altitudeDeg(double latDeg, double decDeg, double haH) {
    constexpr double rad = std::numbers::pi / 180.0;
    const double s = std::sin(latDeg * rad) * std::sin(decDeg * rad) +
                     std::cos(latDeg * rad) * std::cos(decDeg * rad) * std::cos(haH * 15.0 * rad);
    return std::asin(std::clamp(s, -1.0, 1.0)) / rad;
}
