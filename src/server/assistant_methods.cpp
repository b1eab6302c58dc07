#include "server/assistant_methods.h"

#include "engine/guide_engine.h"

namespace {
QJsonObject axisJson(const AxisFigures& a) {
    return {{"seeing_rms", a.seeingRms},
            {"drift_per_min", a.driftPerMin},
            {"rms", a.rms},
            {"residual_rms", a.residualRms}};
}

QJsonValue backlashJson(const std::optional<DecBacklash>& b) {
    if (!b)
        return QJsonValue::Null;
    return QJsonObject{{"ms", b->ms}, {"at_least", b->atLeast}};
}

QJsonObject resultsJson(const AssistantResults& r) {
    const AssistantFigures& f = r.figures;
    return {{"duration", f.durationSec},
            {"frames", f.frames},
            {"lost_frames", f.lostFrames},
            {"axes", r.onMountAxes ? "mount" : "frame"},
            {"ra", axisJson(f.ra)},
            {"dec", axisJson(f.dec)},
            {"periodic_error", QJsonObject{{"measured", f.pe.measured},
                                           {"period", f.pe.periodSec},
                                           {"peak_to_peak", f.pe.peakToPeakArcsec},
                                           {"note", f.pe.note}}},
            {"polar_alignment", QJsonObject{{"error_arcmin", f.polar.errorArcmin},
                                            {"declination", f.polar.declinationDeg},
                                            {"note", f.polar.note}}},
            {"dec_backlash", backlashJson(r.backlash)},
            {"dec_backlash_note", r.backlashNote}};
}

QJsonObject adviceJson(const AssistantAdvice& a) {
    return {{"exposure", a.exposureMs},
            {"law", a.law},
            {"law_reason", a.lawReason},
            {"ra_min_move", a.raMinMoveArcsec},
            {"dec_min_move", a.decMinMoveArcsec},
            {"standard_min_correction", a.standardMinCorrectionArcsec},
            {"standard_aggressiveness", a.standardAggressiveness}};
}

const char* stateName(AssistantState s) {
    switch (s) {
    case AssistantState::Running:
        return "running";
    case AssistantState::Done:
        return "done";
    case AssistantState::Idle:
    default:
        return "idle";
    }
}
} // namespace

rpc::Reply startGuidingAssistant(GuiderControl& guider, const QJsonValue& params) {
    const QJsonValue seconds = rpc::param(params, 0, "seconds");
    const QJsonValue backlash = rpc::param(params, 1, "backlash");
    if (!seconds.isUndefined() &&
        (!seconds.isDouble() || seconds.toDouble() < GuideEngine::kAssistantMinSec ||
         seconds.toDouble() > GuideEngine::kAssistantMaxSec))
        return rpc::fail(rpc::InvalidParams, "expected seconds param, 10 to 7200");
    if (!backlash.isUndefined() && !backlash.isBool())
        return rpc::fail(rpc::InvalidParams, "expected boolean param 'backlash'");
    return guider.startAssistant(seconds.toDouble(GuideEngine::kAssistantDefaultSec),
                                 backlash.toBool(false));
}

QJsonObject assistantStatusJson(AssistantState state, bool measuringBacklash, double elapsedSec,
                                double durationSec, const std::optional<AssistantResults>& r) {
    const bool running = state == AssistantState::Running;
    return {{"state", stateName(state)},
            {"elapsed", elapsedSec},
            {"duration", durationSec},
            {"phase", !running            ? ""
                      : measuringBacklash ? "backlash"
                                          : "recording"},
            {"results", r ? QJsonValue(resultsJson(*r)) : QJsonValue(QJsonValue::Null)},
            {"advice", r ? QJsonValue(adviceJson(r->advice)) : QJsonValue(QJsonValue::Null)}};
}
