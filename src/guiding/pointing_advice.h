#pragma once

#include "platform/telescope/mount_report.h"

#include <QString>
#include <QStringList>
#include <optional>

// Degrees of declination from the equator beyond which a calibration is warned against: RA
// pulses move the star by cos(Dec) of their move at the equator (half of it at 60 degrees).
inline constexpr double kCalibrationDecLimit = 60;

// The warning before calibrating with the mount at `decDeg` (degrees, as the mount reports
// it); empty within kCalibrationDecLimit of the equator or when the mount cannot say.
QString calibrationPointingWarning(std::optional<double> decDeg);

// Altitude below which a calibration is warned against: the seeing and refraction there
// spoil the measured rates, degrees.
inline constexpr double kCalibrationMinAltitude = 20;

// Every warning before calibrating at `p`: calibrationPointingWarning, and the altitude.
QStringList calibrationPointingWarnings(const MountPointing& p);

// A failed calibration's reason with its likely cause added when the mount's declination
// explains it: RA pulses that moved the star too little beyond kCalibrationDecLimit.
QString explainCalibrationFailure(const QString& reason, bool littleRaMotion,
                                  std::optional<double> decDeg);
