#include "guiding/calibration_pointing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
double cosDec(double decDeg) {
    const double d = std::clamp(decDeg, -kMaxScaledDec, kMaxScaledDec);
    return std::cos(d * std::numbers::pi / 180.0);
}

double halfTurn(double angleDeg) {
    return std::fmod(angleDeg + 180.0, 360.0);
}

QString signedDeg(double d) {
    return QStringLiteral("%1%2").arg(d < 0 ? "-" : "+").arg(std::abs(d), 0, 'f', 0);
}
} // namespace

PointingAdjustment pointingAdjustment(const Calibration& c, const MountPointing& now,
                                      bool flipKeepsDec) {
    PointingAdjustment a;
    a.decNowDeg = now.decDeg;
    if (c.decDeg && now.decDeg)
        a.raSpeedFactor = cosDec(*now.decDeg) / cosDec(*c.decDeg);
    a.pierFlipped = c.pierSide != PierSide::Unknown && now.pierSide != PierSide::Unknown &&
                    c.pierSide != now.pierSide;
    a.decReversed = a.pierFlipped && c.hasDec && !flipKeepsDec;
    return a;
}

Calibration adjustedCalibration(const Calibration& c, const PointingAdjustment& a) {
    Calibration out = c;
    out.raSpeed = c.raSpeed * a.raSpeedFactor;
    if (a.pierFlipped)
        out.raAngle = halfTurn(c.raAngle);
    if (a.decReversed)
        out.decAngle = halfTurn(c.decAngle);
    return out;
}

QString adjustmentText(const Calibration& c, const PointingAdjustment& a) {
    QStringList parts;
    if (a.pierFlipped)
        parts << QStringLiteral("the mount is now on the %1 side of the pier (calibrated on the "
                                "%2): %3 reversed")
                     .arg(pierSideName(c.pierSide == PierSide::East ? PierSide::West
                                                                    : PierSide::East),
                          pierSideName(c.pierSide),
                          a.decReversed ? QStringLiteral("RA and Dec") : QStringLiteral("RA"));
    if (std::abs(a.raSpeedFactor - 1) >= 0.005 && c.decDeg && a.decNowDeg)
        parts << QStringLiteral("RA pulses %1x as long at Dec %2 (calibrated at Dec %3)")
                     .arg(1 / a.raSpeedFactor, 0, 'f', 2)
                     .arg(signedDeg(*a.decNowDeg), signedDeg(*c.decDeg));
    if (parts.isEmpty())
        return {};
    return QStringLiteral("Calibration adjusted: ") + parts.join("; ");
}
