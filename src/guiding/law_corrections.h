#pragma once

#include "guiding/calibration.h"
#include "guiding/corrections.h"

#include <QString>

// One mount axis as a guide law sees it: the error along it, arcsec (positive asks for a pulse
// towards `positive`), and how fast a pulse moves the star, arcsec per second of pulse.
struct LawAxis {
    double errArcsec = 0;
    double rateArcsecPerSec = 0;
    GuideDirection positive = guideEast;
    GuideDirection negative = guideWest;
    bool guided = false; // false: this axis is not corrected
};

struct LawAxes {
    LawAxis ra, dec;
};

// The axes of the frame's error (target minus star, pixels), as the standard corrections take
// them: along the calibrated axes at their measured speeds when a calibration is given, else
// x for RA and y for Dec at the typed guide rates, turned round by the reverse switches. Dec is
// guided only with s.decCorrect (and, calibrated, a Dec axis).
LawAxes lawAxes(const Calibration* calibration, float errX, float errY,
                const CorrectionSettings& s);

// The pulse for a law's move along `axis` (arcsec, signed like the error): the move capped
// at the maximum correction, in whole milliseconds. No pulse for a move under 1 ms; a rate
// that is not a positive number gives rateInvalid.
AxisPulse lawPulse(double moveArcsec, const LawAxis& axis, const CorrectionSettings& s);

// The move a pulse makes along `axis`, arcsec, signed like the error; 0 for none.
double pulseMove(const std::optional<PulseRequest>& pulse, const LawAxis& axis);

// Dec guide modes with Dec corrections on: both ways, or one way only.
enum class DecGuideMode { Auto, North, South };
// "Auto", "North" or "South" (any case); Auto for anything else.
DecGuideMode decGuideModeFrom(const QString& text);
QString decGuideModeText(DecGuideMode mode);
// The pulse a mode lets through.
std::optional<PulseRequest> allowedDec(const std::optional<PulseRequest>& pulse, DecGuideMode mode);
