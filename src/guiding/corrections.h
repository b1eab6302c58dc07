#pragma once

#include "platform/telescope/telescope.h"

#include <cstdint>
#include <optional>

struct CorrectionSettings {
    double arcsecPerPixelX = 0.0; // image scale
    double arcsecPerPixelY = 0.0;
    float minCorrection = 0.0f; // arcsec; smaller errors are left alone
    float maxCorrection = 0.0f; // arcsec; larger errors are corrected by this much only
    float raGuideRate = 0.0f;   // arcsec per second of pulse
    float decGuideRate = 0.0f;
    bool decCorrect = false;     // also correct Dec
    double aggressiveness = 1.0; // factor on every pulse length, 0.5 .. 1.5
    bool reverseEW = false;
    bool reverseNS = false;
};

struct PulseRequest {
    GuideDirection direction;
    int32_t ms; // >= 0
};

struct Corrections {
    std::optional<PulseRequest> ra, dec; // sent RA first, then Dec
    // The axis needed a correction but its guide rate is not a positive number: no pulse.
    bool raRateInvalid = false;
    bool decRateInvalid = false;
};

// One axis: the pulse for an error of errArcsec (>= 0) at guideRate arcsec per second of
// pulse, in `direction`, with the limits and aggressiveness of `s`. No pulse below
// minCorrection; the error is capped at maxCorrection; a guide rate that is not a positive
// number gives no pulse and rateInvalid.
struct AxisPulse {
    std::optional<PulseRequest> pulse;
    bool rateInvalid = false;
};
AxisPulse axisPulse(float errArcsec, float guideRate, GuideDirection direction,
                    const CorrectionSettings& s);

// The pulses that move the star back onto the target. errX and errY are target minus star in
// pixels (x to the right, y downwards). A positive x error moves East, a positive y error
// South, each turned round by its reverse switch. An error of exactly minCorrection is
// corrected. Lengths are truncated, never rounded, and limited to the int32_t range.
Corrections computeCorrections(float errX, float errY, const CorrectionSettings& s);
