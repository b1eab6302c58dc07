#pragma once

#include "guiding/calibration.h"
#include "guiding/calibrator.h"

#include <QStringList>
#include <optional>

class SettingsStore;

// The stored calibration lives in section "Calibration Options"; "Use Calibration" ("0" or
// "1") is kept there too. Angles are degrees, speeds px/s, the image scale arcsec per pixel,
// the time ISO 8601 UTC, the paths "x,y" pairs separated by blanks.
inline constexpr const char* kCalibrationSection = "Calibration Options";
inline constexpr const char* kUseCalibrationKey = "Use Calibration";
// "1": the mount reverses its Dec pulses itself after a meridian flip, so a flip reverses only
// the calibration's RA direction; "0" (default): both.
inline constexpr const char* kFlipKeepsDecKey = "Flip Keeps Dec";

void writeCalibration(SettingsStore& store, const Calibration& c);
// nullopt when none is stored, it was cleared, or a value does not read back.
std::optional<Calibration> readCalibration(SettingsStore& store);
// Blanks every value, so nothing is read back.
void clearCalibration(SettingsStore& store);

// The distance (px) a calibration moves the star, key "Distance": 5 to 200, else the default
// kCalibrationDistancePx.
double calibrationDistance(SettingsStore& store);

// Why a calibration cannot be used with this image scale (arcsec per pixel) and guide
// output; empty when it can. The scale must agree within 1 %.
QString calibrationMismatch(const Calibration& c, double arcsecPerPixelX, double arcsecPerPixelY,
                            const QString& guideOutput);

// The result in lines for the operator; the last tells where the mount pointed when it said.
QStringList calibrationSummary(const Calibration& c);
// "Mount at Dec +10.0 deg, hour angle -1.25 h, pier side East"; empty when the mount said none.
QString calibrationPointingText(const Calibration& c);
