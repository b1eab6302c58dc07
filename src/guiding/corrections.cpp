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

// Truncates towards minus infinity; NaN and negative lengths give 0.
int32_t wholeMs(double ms) {
    const double whole = std::floor(ms);
    if (!(whole >= 0.0))
        return 0;
    if (whole >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(whole);
}

AxisPulse correctAxis(float errPixels, const Axis& axis, const CorrectionSettings& s) {
    // The error is kept in single precision, like the limits it is compared with.
    const float errArcsec = static_cast<float>(std::fabs(errPixels * axis.arcsecPerPixel));
    return axisPulse(errArcsec, axis.guideRate, errPixels >= 0.0f ? axis.positive : axis.negative,
                     s);
}
} // namespace

AxisPulse axisPulse(float errArcsec, float guideRate, GuideDirection direction,
                    const CorrectionSettings& s) {
    if (!std::isfinite(errArcsec) || errArcsec < s.minCorrection)
        return {};
    if (errArcsec > s.maxCorrection)
        errArcsec = s.maxCorrection;
    if (!std::isfinite(guideRate) || !(guideRate > 0.0f))
        return {std::nullopt, true};
    const float ms = errArcsec / guideRate * 1000.0f;
    return {PulseRequest{direction, wholeMs(static_cast<double>(ms) * s.aggressiveness)}};
}

Corrections computeCorrections(float errX, float errY, const CorrectionSettings& s) {
    Corrections result;
    const Axis ra{s.arcsecPerPixelX, s.raGuideRate, s.reverseEW ? guideWest : guideEast,
                  s.reverseEW ? guideEast : guideWest};
    const AxisPulse raResult = correctAxis(errX, ra, s);
    result.ra = raResult.pulse;
    result.raRateInvalid = raResult.rateInvalid;
    if (s.decCorrect) {
        const Axis dec{s.arcsecPerPixelY, s.decGuideRate, s.reverseNS ? guideNorth : guideSouth,
                       s.reverseNS ? guideSouth : guideNorth};
        const AxisPulse decResult = correctAxis(errY, dec, s);
        result.dec = decResult.pulse;
        result.decRateInvalid = decResult.rateInvalid;
    }
    return result;
}
