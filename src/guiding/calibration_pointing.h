#pragma once

#include "guiding/calibration.h"
#include "platform/telescope/mount_report.h"

#include <QString>

// How a calibration made at one pointing is used at another. RA pulses move the star by
// cos(Dec) of their move at the equator, so the RA speed follows cos(Dec now) / cos(Dec at
// calibration). After a meridian flip the camera has turned half a turn with the telescope:
// the star moves the opposite way for an East pulse, and for a North pulse too unless the mount
// itself reverses its Dec pulses on the new pier side.
struct PointingAdjustment {
    double raSpeedFactor = 1; // times the calibrated RA speed
    bool pierFlipped = false;
    bool decReversed = false;
    std::optional<double> decNowDeg;

    bool operator==(const PointingAdjustment&) const = default;
};

// Declinations are taken at most this far from the equator for the RA speed, degrees: nearer
// the pole cos(Dec) is too small to scale by.
inline constexpr double kMaxScaledDec = 85;

// No adjustment (factor 1, no flip) where the mount did not say, now or at calibration.
// flipKeepsDec: the mount reverses its Dec pulses itself after a flip.
PointingAdjustment pointingAdjustment(const Calibration& c, const MountPointing& now,
                                      bool flipKeepsDec);

// The calibration as it moves the star at the adjusted pointing.
Calibration adjustedCalibration(const Calibration& c, const PointingAdjustment& a);

// What changed, for the operator; empty when nothing is adjusted.
QString adjustmentText(const Calibration& c, const PointingAdjustment& a);
