#include "engine/guide_engine.h"
#include "guiding/laws/guide_law.h"
#include "guiding/number_format.h"

#include <QStringList>

// The standard law is the Options dialog's limits and the aggressiveness slider; another law
// gives its own parameters, each with its unit.
QString GuideEngine::lawLogText(bool dec) const {
    const GuideLaw& law = *laws_[dec];
    if (law.name() == kStandardLaw)
        return QStringLiteral("%1, Minimum move = %2 arcsec, Maximum move = %3 arcsec, "
                              "Aggressiveness = %4%")
            .arg(kStandardLaw, formatFixed(state.minCorrection, 2),
                 formatFixed(state.maxCorrection, 2), QString::number(aggressivenessPercent_));
    QStringList parts{law.name()};
    for (const LawParam& p : law.params()) {
        const QString unit =
            p.unit.isEmpty() || p.unit == QLatin1String("%") ? p.unit : QLatin1Char(' ') + p.unit;
        parts << QStringLiteral("%1 = %2%3").arg(p.name, QString::number(p.value, 'g', 6), unit);
    }
    return parts.join(QStringLiteral(", "));
}

QString GuideEngine::decGuideModeLogText() const {
    return state.decCorrect ? decGuideModeText(decGuideMode_) : QStringLiteral("Off");
}
