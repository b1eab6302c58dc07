#include "guiding/calibration.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kDegrees = 180.0 / std::numbers::pi;

double angleOf(QPointF v) {
    const double a = std::atan2(v.y(), v.x()) * kDegrees;
    return a < 0 ? a + 360 : a;
}

QPointF unit(double angleDegrees) {
    const double a = angleDegrees / kDegrees;
    return {std::cos(a), std::sin(a)};
}

double length(QPointF v) {
    return std::hypot(v.x(), v.y());
}

// Arcsec per pixel along a direction of the frame (pixels need not be square).
double scaleAlong(QPointF u, double scaleX, double scaleY) {
    return std::hypot(u.x() * scaleX, u.y() * scaleY);
}

bool lost(QPointF p) {
    return p.x() <= 0 && p.y() <= 0;
}

// Least-squares slope of the places over their step number, px per step; needs 2 places.
QPointF slope(const std::vector<QPointF>& points) {
    const double n = static_cast<double>(points.size());
    double sk = 0, skk = 0;
    QPointF sp, skp;
    for (size_t k = 0; k < points.size(); ++k) {
        const double kd = static_cast<double>(k);
        sk += kd;
        skk += kd * kd;
        sp += points[k];
        skp += kd * points[k];
    }
    return (n * skp - sk * sp) / (n * skk - sk * sk);
}

struct Axis {
    QPointF motion; // px per second of pulse in the leg's own direction
};

// The motion of `forward` pulses from a forward leg and the return leg after it.
std::variant<Axis, CalibrationFailure> measureAxis(const CalibrationLeg& forward,
                                                   const CalibrationLeg& back,
                                                   const CalibrationContext& context,
                                                   const QString& axis, const QString& pulses) {
    for (const CalibrationLeg* leg : {&forward, &back})
        if (std::any_of(leg->points.begin(), leg->points.end(), lost))
            return CalibrationFailure{
                QStringLiteral("Calibration failed: the star was lost while calibrating %1.")
                    .arg(axis)};
    if (forward.points.size() < 2 || forward.stepMs <= 0 ||
        length(forward.points.back() - forward.points.front()) < context.minMotionPx)
        return CalibrationFailure{
            QStringLiteral("Calibration failed: the %1 pulses moved the star less than %2 "
                           "pixels. Check the guide output and the guide rate.")
                .arg(pulses)
                .arg(context.minMotionPx),
            axis == QStringLiteral("RA")};
    QPointF perStep = slope(forward.points);
    if (back.points.size() >= 2 && back.stepMs == forward.stepMs)
        perStep = (perStep - slope(back.points)) / 2;
    return Axis{perStep / (forward.stepMs / 1000.0)};
}
} // namespace

CalibrationLeg& CalibrationPath::leg(GuideDirection d) {
    switch (d) {
    case guideEast:
        return east;
    case guideNorth:
        return north;
    case guideSouth:
        return south;
    case guideWest:
        break;
    }
    return west;
}

std::vector<QPointF> joinLegs(const CalibrationLeg& first, const CalibrationLeg& second) {
    std::vector<QPointF> points = first.points;
    points.insert(points.end(), second.points.begin(), second.points.end());
    return points;
}

double Calibration::raArcsecPerSec() const {
    return raSpeed * scaleAlong(unit(raAngle), arcsecPerPixelX, arcsecPerPixelY);
}

double Calibration::decArcsecPerSec() const {
    return decSpeed * scaleAlong(unit(decAngle), arcsecPerPixelX, arcsecPerPixelY);
}

double Calibration::orthogonalityError() const {
    if (!hasDec)
        return 0;
    double between = std::fabs(decAngle - raAngle);
    if (between > 180)
        between = 360 - between;
    return 90 - between;
}

bool Calibration::decMirrored() const {
    const QPointF e = unit(raAngle), n = unit(decAngle);
    return hasDec && e.x() * n.y() - e.y() * n.x() > 0;
}

std::variant<Calibration, CalibrationFailure>
computeCalibration(const CalibrationPath& path, const CalibrationContext& context) {
    Calibration c;
    c.arcsecPerPixelX = context.arcsecPerPixelX;
    c.arcsecPerPixelY = context.arcsecPerPixelY;
    c.guideOutput = context.guideOutput;
    const auto ra =
        measureAxis(path.west, path.east, context, QStringLiteral("RA"), QStringLiteral("West"));
    if (const auto* failure = std::get_if<CalibrationFailure>(&ra))
        return *failure;
    const QPointF east = -std::get<Axis>(ra).motion;
    c.raAngle = angleOf(east);
    c.raSpeed = length(east);
    c.raPath = joinLegs(path.west, path.east);
    if (path.north.points.empty())
        return c;
    const auto dec = measureAxis(path.north, path.south, context, QStringLiteral("Dec"),
                                 QStringLiteral("North"));
    if (const auto* failure = std::get_if<CalibrationFailure>(&dec))
        return *failure;
    const QPointF north = std::get<Axis>(dec).motion;
    c.hasDec = true;
    c.decAngle = angleOf(north);
    c.decSpeed = length(north);
    c.decPath = joinLegs(path.north, path.south);
    if (std::fabs(c.orthogonalityError()) > kMaxOrthogonalityError)
        return CalibrationFailure{
            QStringLiteral("Calibration failed: the RA and Dec axes are %1 degrees from square "
                           "(at most %2 can guide). Check that the mount moved only as pulsed.")
                .arg(c.orthogonalityError(), 0, 'f', 1)
                .arg(kMaxOrthogonalityError)};
    return c;
}

CalibratedError calibratedError(const Calibration& c, float errX, float errY) {
    const QPointF err(errX, errY);
    const QPointF e = unit(c.raAngle);
    const double raScale = scaleAlong(e, c.arcsecPerPixelX, c.arcsecPerPixelY);
    // err = a e + b n: the lengths along each axis, px. Angles grow clockwise on screen.
    const QPointF n = unit(c.hasDec ? c.decAngle : c.raAngle - 90);
    const double det = e.x() * n.y() - e.y() * n.x();
    const double a = (err.x() * n.y() - err.y() * n.x()) / det;
    const double b = (e.x() * err.y() - e.y() * err.x()) / det;
    return {a * raScale, b * scaleAlong(n, c.arcsecPerPixelX, c.arcsecPerPixelY)};
}

Corrections calibratedCorrections(const Calibration& c, float errX, float errY,
                                  const CorrectionSettings& s) {
    const CalibratedError err = calibratedError(c, errX, errY);
    Corrections result;
    const AxisPulse ra =
        axisPulse(static_cast<float>(std::fabs(err.ra)), static_cast<float>(c.raArcsecPerSec()),
                  err.ra >= 0 ? guideEast : guideWest, s);
    result.ra = ra.pulse;
    result.raRateInvalid = ra.rateInvalid;
    if (s.decCorrect && c.hasDec) {
        const AxisPulse dec = axisPulse(static_cast<float>(std::fabs(err.dec)),
                                        static_cast<float>(c.decArcsecPerSec()),
                                        err.dec >= 0 ? guideNorth : guideSouth, s);
        result.dec = dec.pulse;
        result.decRateInvalid = dec.rateInvalid;
    }
    return result;
}
