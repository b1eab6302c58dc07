#include "guiding/laws/guide_law.h"

#include "guiding/laws/predictive_law.h"
#include "guiding/laws/simple_laws.h"

QStringList guideLawNames() {
    return {kStandardLaw, QStringLiteral("Hysteresis"), QStringLiteral("Predictive")};
}

std::unique_ptr<GuideLaw> makeGuideLaw(const QString& name, const StandardLimits& standard) {
    if (name == kStandardLaw)
        return std::make_unique<StandardLaw>(standard);
    if (name == QLatin1String("Hysteresis"))
        return std::make_unique<HysteresisLaw>();
    if (name == QLatin1String("Predictive"))
        return std::make_unique<PredictiveLaw>();
    return nullptr;
}
