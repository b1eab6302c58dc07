#include "engine/guide_engine.h"
#include "guiding/laws/guide_law.h"
#include "guiding/number_format.h"

// The Options dialog's limits and the aggressiveness slider, on both axes.
QString GuideEngine::lawLogText(bool dec) const {
    (void)dec;
    return QStringLiteral("%1, Minimum move = %2 arcsec, Maximum move = %3 arcsec, "
                          "Aggressiveness = %4%")
        .arg(kStandardLaw, formatFixed(state.minCorrection, 2), formatFixed(state.maxCorrection, 2),
             QString::number(aggressivenessPercent_));
}

QString GuideEngine::decGuideModeLogText() const {
    return state.decCorrect ? QStringLiteral("Auto") : QStringLiteral("Off");
}
