#include "guiding/pointing_advice.h"

#include <cmath>

namespace {
bool beyondLimit(std::optional<double> decDeg) {
    return decDeg && std::isfinite(*decDeg) && std::abs(*decDeg) > kCalibrationDecLimit;
}

QString decText(double decDeg) {
    return QStringLiteral("%1%2").arg(decDeg < 0 ? "-" : "+").arg(std::abs(decDeg), 0, 'f', 0);
}
} // namespace

QString calibrationPointingWarning(std::optional<double> decDeg) {
    if (!beyondLimit(decDeg))
        return {};
    return QStringLiteral("The mount points at Dec %1: so near the pole RA pulses hardly move the "
                          "star. Calibrate within %2 degrees of the celestial equator.")
        .arg(decText(*decDeg))
        .arg(kCalibrationDecLimit, 0, 'f', 0);
}

QStringList calibrationPointingWarnings(const MountPointing& p) {
    QStringList warnings;
    if (const QString dec = calibrationPointingWarning(p.decDeg); !dec.isEmpty())
        warnings << dec;
    if (p.altitudeDeg && *p.altitudeDeg < kCalibrationMinAltitude)
        warnings << QStringLiteral("The mount points %1 degrees above the horizon: the air there "
                                   "blurs and bends the star. Calibrate higher than %2 degrees.")
                        .arg(*p.altitudeDeg, 0, 'f', 0)
                        .arg(kCalibrationMinAltitude, 0, 'f', 0);
    return warnings;
}

QString explainCalibrationFailure(const QString& reason, bool littleRaMotion,
                                  std::optional<double> decDeg) {
    if (!littleRaMotion || !beyondLimit(decDeg))
        return reason;
    return reason + QStringLiteral(" Likely cause: the mount points at Dec %1, near the celestial "
                                   "pole, where RA pulses hardly move the star; point it within "
                                   "%2 degrees of the equator and calibrate again.")
                        .arg(decText(*decDeg))
                        .arg(kCalibrationDecLimit, 0, 'f', 0);
}
