#include "sim/sky_options.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr SkyOptionField kFields[] = {
    {"Star Brightness", &SkyOptions::starBrightness, 0, 255, 0, " ADU"},
    {"Seeing", &SkyOptions::seeing, 0.3, 20, 2, " arcsec"},
    {"Noise", &SkyOptions::noise, 0, 50, 1, " ADU"},
    {"RA Drift", &SkyOptions::raDrift, -600, 600, 2, " arcsec/min"},
    {"Dec Drift", &SkyOptions::decDrift, -600, 600, 2, " arcsec/min"},
    {"PE Amplitude", &SkyOptions::peAmplitude, 0, 120, 2, " arcsec"},
    {"PE Period", &SkyOptions::pePeriod, 10, 7200, 0, " s"},
    {"Camera Angle", &SkyOptions::cameraAngle, -360, 360, 1, " deg"},
    {"Guide Rate", &SkyOptions::guideRate, 0.1, 100, 2, " arcsec/s"},
    {"Image Scale", &SkyOptions::imageScale, 0.05, 20, 5, " arcsec/px"},
};
} // namespace

std::span<const SkyOptionField> skyOptionFields() {
    return kFields;
}

SkyOptions clampedSkyOptions(SkyOptions options) {
    const SkyOptions defaults;
    for (const SkyOptionField& field : kFields) {
        double& value = options.*field.member;
        value =
            std::isnan(value) ? defaults.*field.member : std::clamp(value, field.min, field.max);
    }
    options.seed = std::min(options.seed, kMaxSkySeed);
    return options;
}
