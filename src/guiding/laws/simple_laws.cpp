#include "guiding/laws/simple_laws.h"

#include <algorithm>
#include <cmath>

double StandardLaw::frame(double, double errArcsec) {
    const double size = std::fabs(errArcsec);
    if (!std::isfinite(size) || size < limits_.minCorrection)
        return 0;
    return std::copysign(std::min(size, limits_.maxCorrection), errArcsec) * limits_.aggressiveness;
}

double HysteresisLaw::frame(double, double errArcsec) {
    if (!std::isfinite(errArcsec) || std::fabs(errArcsec) < minMove_)
        return 0;
    const double h = hysteresis_ / 100;
    return ((1 - h) * errArcsec + h * lastMove_) * aggressiveness_ / 100;
}

std::vector<LawParam> HysteresisLaw::params() const {
    return {{QStringLiteral("Aggressiveness"), aggressiveness_, 0, 200, QStringLiteral("%")},
            {QStringLiteral("Hysteresis"), hysteresis_, 0, 99, QStringLiteral("%")},
            {QStringLiteral("Minimum Move"), minMove_, 0, 20, QStringLiteral("arcsec")}};
}

bool HysteresisLaw::setParam(const QString& name, double value) {
    for (const LawParam& p : params()) {
        if (p.name != name)
            continue;
        if (!(value >= p.min && value <= p.max))
            return false;
        double* to = name == QLatin1String("Aggressiveness") ? &aggressiveness_
                     : name == QLatin1String("Hysteresis")   ? &hysteresis_
                                                             : &minMove_;
        *to = value;
        return true;
    }
    return false;
}
