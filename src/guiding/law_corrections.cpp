#include "guiding/law_corrections.h"

#include <cmath>
#include <limits>

LawAxes lawAxes(const Calibration* calibration, float errX, float errY,
                const CorrectionSettings& s) {
    LawAxes axes;
    if (calibration) {
        const CalibratedError e = calibratedError(*calibration, errX, errY);
        axes.ra = {e.ra, calibration->raArcsecPerSec(), guideEast, guideWest, true};
        axes.dec = {e.dec, calibration->decArcsecPerSec(), guideNorth, guideSouth,
                    s.decCorrect && calibration->hasDec};
        return axes;
    }
    axes.ra = {static_cast<double>(errX) * s.arcsecPerPixelX, s.raGuideRate,
               s.reverseEW ? guideWest : guideEast, s.reverseEW ? guideEast : guideWest, true};
    axes.dec = {static_cast<double>(errY) * s.arcsecPerPixelY, s.decGuideRate,
                s.reverseNS ? guideNorth : guideSouth, s.reverseNS ? guideSouth : guideNorth,
                s.decCorrect};
    return axes;
}

AxisPulse lawPulse(double moveArcsec, const LawAxis& axis, const CorrectionSettings& s) {
    if (!std::isfinite(moveArcsec) || moveArcsec == 0)
        return {};
    if (!std::isfinite(axis.rateArcsecPerSec) || !(axis.rateArcsecPerSec > 0))
        return {std::nullopt, true};
    const double size = std::min(std::fabs(moveArcsec), static_cast<double>(s.maxCorrection));
    const double ms = std::floor(size / axis.rateArcsecPerSec * 1000);
    if (!(ms >= 1))
        return {};
    const double capped = std::min(ms, static_cast<double>(std::numeric_limits<int32_t>::max()));
    return {
        PulseRequest{moveArcsec > 0 ? axis.positive : axis.negative, static_cast<int32_t>(capped)}};
}

double pulseMove(const std::optional<PulseRequest>& pulse, const LawAxis& axis) {
    if (!pulse)
        return 0;
    const double size = pulse->ms / 1000.0 * axis.rateArcsecPerSec;
    return pulse->direction == axis.positive ? size : -size;
}

DecGuideMode decGuideModeFrom(const QString& text) {
    if (text.compare(QLatin1String("North"), Qt::CaseInsensitive) == 0)
        return DecGuideMode::North;
    if (text.compare(QLatin1String("South"), Qt::CaseInsensitive) == 0)
        return DecGuideMode::South;
    return DecGuideMode::Auto;
}

QString decGuideModeText(DecGuideMode mode) {
    switch (mode) {
    case DecGuideMode::North:
        return QStringLiteral("North");
    case DecGuideMode::South:
        return QStringLiteral("South");
    case DecGuideMode::Auto:
    default:
        return QStringLiteral("Auto");
    }
}

std::optional<PulseRequest> allowedDec(const std::optional<PulseRequest>& pulse,
                                       DecGuideMode mode) {
    if (!pulse || mode == DecGuideMode::Auto)
        return pulse;
    const GuideDirection allowed = mode == DecGuideMode::North ? guideNorth : guideSouth;
    return pulse->direction == allowed ? pulse : std::nullopt;
}
