#include "engine/dither.h"

#include <cmath>
#include <numbers>

QPointF ditherOffset(double amount, bool raOnly, std::optional<double> raAxisDeg,
                     std::mt19937& random) {
    if (!(amount > 0))
        return {};
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    if (raOnly) {
        const double angle = raAxisDeg.value_or(0.0) * std::numbers::pi / 180.0;
        const double distance = amount * (2.0 * unit(random) - 1.0);
        return {distance * std::cos(angle), distance * std::sin(angle)};
    }
    const double angle = 2.0 * std::numbers::pi * unit(random);
    const double radius = amount * std::sqrt(unit(random));
    return {radius * std::cos(angle), radius * std::sin(angle)};
}
