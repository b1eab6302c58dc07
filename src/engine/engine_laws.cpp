#include "engine/guide_engine.h"
#include "guiding/laws/guide_law.h"
#include "platform/store/settings_store.h"
#include "settings/setting_keys.h"

#include "settings/settings_reader.h"

#include <algorithm>

namespace {
const char* axisName(bool dec) {
    return dec ? "Dec" : "RA";
}

QString paramKey(bool dec, const QString& law, const QString& param) {
    return QStringLiteral("%1 %2 %3").arg(QLatin1String(axisName(dec)), law, param);
}
} // namespace

// Each axis's law and its stored parameters; an unknown law is the standard one, a stored
// parameter that is not a number in range keeps its default.
void GuideEngine::loadLaws() {
    SettingsStore& store = *platform_.store;
    for (bool dec : {false, true}) {
        const SettingKey& key = dec ? keys::DecLaw : keys::RALaw;
        const QString name = store.readSetting(key.section, key.key, kStandardLaw);
        std::unique_ptr<GuideLaw> law = makeGuideLaw(name.trimmed());
        if (!law)
            law = makeGuideLaw(kStandardLaw);
        for (const LawParam& p : law->params()) {
            bool ok = false;
            const double value =
                store.readSetting(keys::guideLaw, paramKey(dec, law->name(), p.name), QString())
                    .toDouble(&ok);
            if (ok)
                law->setParam(p.name, value);
        }
        laws_[dec] = std::move(law);
    }
    decBacklash_ = BacklashCompensator(measuredDecBacklash().value_or(0));
    SettingsReader in(store);
    backlashCompensation_ = in.flag(keys::BacklashCompensation);
    decGuideMode_ = decGuideModeFrom(in.text(keys::DecGuideMode));
}

std::optional<float> GuideEngine::decLawBacklash() const {
    if (laws_[1]->name() == kStandardLaw)
        return std::nullopt;
    return backlashCompensation_ ? static_cast<float>(decBacklash_.ms()) : 0.0f;
}

const GuideLaw& GuideEngine::law(bool dec) const {
    return *laws_[dec];
}

bool GuideEngine::chooseLaw(bool dec, const QString& name) {
    const QStringList names = guideLawNames();
    const auto known = std::find_if(names.begin(), names.end(), [&](const QString& law) {
        return law.compare(name.trimmed(), Qt::CaseInsensitive) == 0;
    });
    if (known == names.end())
        return false;
    const EngineChange change(*this);
    const SettingKey& key = dec ? keys::DecLaw : keys::RALaw;
    saveSetting(key.section, key.key, *known);
    loadLaws();
    return true;
}

bool GuideEngine::setLawParam(bool dec, const QString& name, double value) {
    GuideLaw& law = *laws_[dec];
    if (!law.setParam(name, value))
        return false;
    const EngineChange change(*this);
    saveSetting(keys::guideLaw, paramKey(dec, law.name(), name).toUtf8().constData(),
                QString::number(value, 'g', 10));
    return true;
}

void GuideEngine::setDecGuideMode(DecGuideMode mode) {
    const EngineChange change(*this);
    decGuideMode_ = mode;
    saveSetting(keys::DecGuideMode.section, keys::DecGuideMode.key, decGuideModeText(mode));
}

// The corrections of the laws of this cycle. A standard axis is corrected exactly as the
// standard corrections say; another gets its law's move, which is then told what went out.
Corrections GuideEngine::lawCorrections(const Corrections& standard, const LawAxes& axes,
                                        const CorrectionSettings& s, GuideRecord* record) {
    const double now = clock_.elapsed() / 1000.0;
    Corrections c = standard;
    for (bool dec : {false, true}) {
        const LawAxis& axis = dec ? axes.dec : axes.ra;
        std::optional<PulseRequest>& pulse = dec ? c.dec : c.ra;
        GuideLaw& law = *laws_[dec];
        if (law.name() == kStandardLaw || !axis.guided) {
            if (record && pulse)
                (dec ? record->decLawArcsec : record->raLawArcsec) = axis.errArcsec;
            continue;
        }
        if (dec)
            decBacklash_.frame(axis.errArcsec);
        const double move = law.frame(now, axis.errArcsec);
        const AxisPulse p = lawPulse(move, axis, s);
        pulse = p.pulse;
        (dec ? c.decRateInvalid : c.raRateInvalid) = p.rateInvalid;
        if (record && pulse)
            (dec ? record->decLawArcsec : record->raLawArcsec) = move;
    }
    if (c.dec)
        c.dec = allowedDec(c.dec, decGuideMode_);
    return c;
}

// What went out, for the laws that keep the mount's motion in mind.
void GuideEngine::lawsSent(const Corrections& sent, const LawAxes& axes) {
    laws_[0]->sent(pulseMove(sent.ra, axes.ra));
    laws_[1]->sent(pulseMove(sent.dec, axes.dec));
    if (sent.dec && laws_[1]->name() != kStandardLaw)
        decBacklash_.sent(pulseMove(sent.dec, axes.dec), state.backlashMs > 0);
}

void GuideEngine::lawsTargetMoved(QPointF offsetPx) {
    const CorrectionSettings s = correctionSettings();
    const LawAxes axes = lawAxes(calibrationInUse(), static_cast<float>(offsetPx.x()),
                                 static_cast<float>(offsetPx.y()), s);
    laws_[0]->targetMoved(axes.ra.errArcsec);
    laws_[1]->targetMoved(axes.dec.errArcsec);
}

void GuideEngine::lawsRestart() {
    for (auto& law : laws_)
        law->restart();
}

void GuideEngine::lawsReset() {
    for (auto& law : laws_)
        law->reset();
}
