#pragma once

#include "guiding/corrections.h"
#include "platform/telescope/mount_report.h"

#include <QDateTime>
#include <QPointF>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

// Frame angles are in degrees, 0 <= a < 360, measured from the frame's +x axis towards +y
// (x to the right, y downwards, so angles turn clockwise on screen). Speeds are frame pixels
// per second of guide pulse.

// How the mount moves the star, as measured by a calibration.
struct Calibration {
    double raAngle = 0;  // the direction an East pulse moves the star (West: the opposite)
    double raSpeed = 0;  // px/s
    bool hasDec = false; // false: Dec was not calibrated and is never corrected with it
    double decAngle = 0; // the direction a North pulse moves the star (South: the opposite)
    double decSpeed = 0; // px/s
    // What it was made with; a calibration is only used with the same.
    double arcsecPerPixelX = 0;
    double arcsecPerPixelY = 0;
    QString guideOutput; // see frmMain::guideOutputName()
    QDateTime time;      // UTC
    // Where the mount pointed, as it reported it (unknown when it could not say).
    std::optional<double> decDeg;     // -90..90
    std::optional<double> hourAngleH; // -12..12, positive west
    PierSide pierSide = PierSide::Unknown;
    // The star's places, frame pixels: RA holds the West then the East steps, Dec the North
    // then the South steps; the first point of each is the place before the first pulse.
    std::vector<QPointF> raPath, decPath;

    double raArcsecPerSec() const;
    double decArcsecPerSec() const;
    // 90 minus the angle between the two axes (0..180), degrees; 0 without Dec.
    double orthogonalityError() const;
    // True when North lies clockwise of East on screen, the mirror image of the sky seen
    // straight through a telescope without a diagonal.
    bool decMirrored() const;
};

// The star's places in one direction of the calibration: points[0] before the first pulse,
// points[k] after k pulses of stepMs each. A place with x <= 0 and y <= 0 is a lost star.
struct CalibrationLeg {
    std::vector<QPointF> points;
    int32_t stepMs = 0;
};

// The four legs in the order they run. north and south stay empty when Dec is not calibrated.
struct CalibrationPath {
    CalibrationLeg west, east, north, south;

    // The leg that pulses in direction d.
    CalibrationLeg& leg(GuideDirection d);
    const CalibrationLeg& leg(GuideDirection d) const {
        return const_cast<CalibrationPath*>(this)->leg(d);
    }
};

// The places of two legs one after the other.
std::vector<QPointF> joinLegs(const CalibrationLeg& first, const CalibrationLeg& second);

// What the result is computed with.
struct CalibrationContext {
    double arcsecPerPixelX = 0;
    double arcsecPerPixelY = 0;
    QString guideOutput;
    double minMotionPx = 10; // the first leg of each axis must move the star at least this far
};

// A result that cannot guide: why, in words for the operator.
struct CalibrationFailure {
    QString reason;
    // The RA pulses moved the star too little (near a celestial pole they barely move it).
    bool littleRaMotion = false;
};

inline constexpr double kMaxOrthogonalityError = 20; // degrees

// The axes from the star's path. Each axis combines its two legs: half the difference of
// their slopes (px per step) is the pulse's own motion and half their sum the drift per
// step, so a steady drift biases neither the angle nor the speed. Fails on a lost star,
// too little motion or an orthogonality error above kMaxOrthogonalityError. The time is
// left null.
std::variant<Calibration, CalibrationFailure> computeCalibration(const CalibrationPath& path,
                                                                 const CalibrationContext& context);

// A pixel error (target minus star, frame pixels) along the calibrated axes, in arcsec:
// ra > 0 asks for an East pulse, dec > 0 for a North pulse. With both axes the error is split
// along them, which need not be square. Without a Dec axis, Dec is taken square to RA with
// North a quarter turn anticlockwise of East on screen (the unmirrored view), and the error is
// split along those two: ra is its projection onto the RA axis, dec the rest. Corrections never
// use that dec; it tells how far the star is off across the RA axis.
struct CalibratedError {
    double ra = 0;
    double dec = 0;
};
CalibratedError calibratedError(const Calibration& c, float errX, float errY);

// The corrections of computeCorrections, with the error split along the calibrated axes and
// each pulse timed by its calibrated speed instead of the typed guide rate. The reverse
// switches and the guide rates of `s` are not used. Dec is corrected only when s.decCorrect
// is set and the calibration has a Dec axis.
Corrections calibratedCorrections(const Calibration& c, float errX, float errY,
                                  const CorrectionSettings& s);
