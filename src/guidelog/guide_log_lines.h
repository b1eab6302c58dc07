#pragma once

#include "guiding/calibration.h"
#include "guiding/guide_history.h"

#include <QDateTime>
#include <QPointF>
#include <QString>
#include <optional>

// Single lines of the guide log, without line ends. Distances and positions are guide-camera
// pixels, times seconds, pulses milliseconds; numbers always have a point, whatever the locale,
// and a value that is not finite leaves its field empty.

inline constexpr const char* kLogVersion = "2.5";
inline constexpr const char* kFrameColumns =
    "Frame,Time,mount,dx,dy,RARawDistance,DECRawDistance,RAGuideDistance,DECGuideDistance,"
    "RADuration,RADirection,DECDuration,DECDirection,XStep,YStep,StarMass,SNR,ErrorCode";
inline constexpr const char* kCalibrationColumns = "Direction,Step,dx,dy,x,y,Dist";
// The error code of a frame without its star.
inline constexpr int kStarLostCode = 2;

// "2026-12-08 21:04:11", local time.
QString logTime(const QDateTime& time);
// "Orvalis_GuideLog_2026-12-08_210411.txt" for the program start `start` (local time); copy
// 2 and up adds "_<copy>" before the extension.
QString guideLogFileName(const QDateTime& start, int copy = 1);
// The file's first line.
QString logOpeningLine(const QString& programVersion, const QDateTime& start);

// `value` with `decimals` decimals and a point; empty when not finite.
QString logNumber(double value, int decimals);
// `text` between double quotes, its own double quotes doubled.
QString logQuoted(const QString& text);

// One guide frame. scaleX and scaleY (arcsec per pixel along the frame's x and y) turn the
// record's arcsec into pixels: a record on the mount's axes uses their mean, one on the
// frame's axes x for RA and y for Dec. dx, dy and the distances are star minus lock position
// (the record's errors with the opposite sign): a negative RA distance asks for an East pulse,
// a negative Dec distance for a South one. A lost star gives a DROP line.
QString frameLine(int frame, double timeSec, const GuideRecord& record, double scaleX,
                  double scaleY);

// "West,2,-3.012,0.104,637.108,512.434,3.014": the star at `at` in step `step` (1: where the
// direction began, at `start`).
QString calibrationStepLine(GuideDirection direction, int step, QPointF start, QPointF at);

// How one direction of a calibration moved the star, from where it began to its last place.
struct LegSummary {
    QPointF motion;         // px, last place minus first
    double angleDeg = 0;    // direction of the motion, -180 < a <= 180, from +x towards +y
    double rateOfPulse = 0; // px per second of pulse
};
// None for fewer than two places, a lost place (x <= 0 and y <= 0) or no step length.
std::optional<LegSummary> legSummary(const CalibrationLeg& leg);
// "West calibration complete. Angle = -90.0 deg, Rate = 5.460 px/sec, Parity = Normal".
QString legSummaryLine(GuideDirection direction, const LegSummary& summary, bool reversed);
// Dec parity: reversed when North lies clockwise of East on screen (the mirror image), the
// motions being those of an East and a North pulse.
bool decReversed(QPointF eastMotion, QPointF northMotion);
// A frame angle of a calibration (0..360) as the log gives angles, -180 < a <= 180.
double logAngle(double degrees);

// "INFO: DITHER by 1.234, -0.567, new lock pos = 641.354, 511.763".
QString ditherInfo(QPointF offset, QPointF newLock);
QString lockPositionInfo(QPointF lock);
QString settlingInfo(const QString& change);
QString parameterInfo(const QString& name, const QString& value);
