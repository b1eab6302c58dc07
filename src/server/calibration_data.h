#pragma once

#include "guiding/calibration.h"

#include <QJsonObject>
#include <optional>

// get_calibration_data's answer: {"calibrated": false}, or the stored calibration's axes
// (xAngle, yAngle in degrees of the frame, xRate, yRate in px per second of pulse, xParity and
// yParity "+" or "-"), the image scale, where the mount pointed ("declination" degrees,
// "hourAngle" hours, "pierSide") when it said, and "inUse" with the axes as now adjusted to the
// mount's pointing when a calibration is in use.
QJsonObject calibrationDataJson(const std::optional<Calibration>& made, const Calibration* inUse);

// The pointing fields of a calibration (only those the mount told): Declination, HourAngle,
// PierSide, for the CalibrationComplete event.
QJsonObject calibrationPointingJson(const Calibration& c);
