#include "guiding/corrections.h"

#include <cmath>
#include <limits>

namespace {
struct Axis {
    double arcsecPerPixel;
    float guideRate;
    GuideDirection positive; // direction for an error >= 0
    GuideDirection negative;
};

struct AxisResult {
    std::optional<PulseRequest> pulse;
    bool rateInvalid = false;
};

// Truncates towards minus infinity; NaN and negative lengths give 0.
int32_t wholeMs(double ms) {
    const double whole = std::floor(ms);
    if (!(whole >= 0.0))
        return 0;
    if (whole >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(whole);
}

AxisResult correctAxis(float errPixels, const Axis& axis, const CorrectionSettings& s) {
    // The error is kept in single precision, like the limits it is compared with.
    float errArcsec = static_cast<float>(std::fabs(errPixels * axis.arcsecPerPixel));
    if (!std::isfinite(errArcsec) || errArcsec < s.minCorrection)
        return {};
    if (errArcsec > s.maxCorrection)
        errArcsec = s.maxCorrection;
    if (!std::isfinite(axis.guideRate) || !(axis.guideRate > 0.0f))
        return {std::nullopt, true};
    const float ms = errArcsec / axis.guideRate * 1000.0f;
    const GuideDirection direction = errPixels >= 0.0f ? axis.positive : axis.negative;
    return {PulseRequest{direction, wholeMs(static_cast<double>(ms) * s.aggressiveness)}};
}
} // namespace

Corrections computeCorrections(float errX, float errY, const CorrectionSettings& s) {
    Corrections result;
    const Axis ra{s.arcsecPerPixelX, s.raGuideRate, s.reverseEW ? guideWest : guideEast,
                  s.reverseEW ? guideEast : guideWest};
    const AxisResult raResult = correctAxis(errX, ra, s);
    result.ra = raResult.pulse;
    result.raRateInvalid = raResult.rateInvalid;
    if (s.decCorrect) {
        const Axis dec{s.arcsecPerPixelY, s.decGuideRate, s.reverseNS ? guideNorth : guideSouth,
                       s.reverseNS ? guideSouth : guideNorth};
        const AxisResult decResult = correctAxis(errY, dec, s);
        result.dec = decResult.pulse;
        result.decRateInvalid = decResult.rateInvalid;
    }
    return result;
}
