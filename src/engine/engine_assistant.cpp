#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "platform/store/settings_store.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <algorithm>
#include <cmath>

namespace {
// Too few frames with the star for any figure.
constexpr size_t kMinFoundFrames = 3;

std::vector<AssistantSample> samplesOf(const AssistantRun& run, bool onMountAxes) {
    std::vector<AssistantSample> samples;
    for (const auto& [t, r] : run.frames)
        samples.push_back({t, r.found, onMountAxes ? r.mountRaArcsec : r.raArcsec,
                           onMountAxes ? r.mountDecArcsec : r.decArcsec,
                           QPointF(r.starX, r.starY)});
    return samples;
}

// The calibrated axes when every frame with the star had them.
bool allOnMountAxes(const AssistantRun& run) {
    bool any = false;
    for (const auto& [t, r] : run.frames) {
        if (!r.found)
            continue;
        if (!r.onMountAxes)
            return false;
        any = true;
    }
    return any;
}

size_t foundFrames(const AssistantRun& run) {
    return static_cast<size_t>(std::count_if(run.frames.begin(), run.frames.end(),
                                             [](const auto& f) { return f.second.found; }));
}
} // namespace

void GuideEngine::setAssistantClock(std::function<double()> secondsNow) {
    assistantClock_ = std::move(secondsNow);
}

QString GuideEngine::whyAssistantCannotStart() {
    if (assisting())
        return QStringLiteral("The Guiding Assistant is already running");
    if (calibrating())
        return QStringLiteral("Calibrating: the Guiding Assistant can start when the "
                              "calibration has ended");
    if (!state.previewing)
        return QStringLiteral("The Guiding Assistant needs the exposure loop running (Preview)");
    if (!state.locked || state.lockLost)
        return QStringLiteral("The Guiding Assistant needs a locked star (Lock, then click the "
                              "star)");
    return {};
}

bool GuideEngine::startAssistant(double seconds, bool measureBacklash) {
    if (const QString why = whyAssistantCannotStart(); !why.isEmpty()) {
        note(why);
        return false;
    }
    const EngineChange change(*this);
    if (state.guiding)
        stopGuiding();
    assistant_ = {};
    assistant_.state = AssistantState::Running;
    assistant_.durationSec = std::clamp(seconds, kAssistantMinSec, kAssistantMaxSec);
    assistant_.measureBacklash = measureBacklash;
    assistant_.startSec = assistantClock_();
    note(QStringLiteral("Guiding Assistant: recording the star for %1 s, no corrections%2")
             .arg(assistant_.durationSec)
             .arg(measureBacklash ? QStringLiteral(", then measuring the Dec backlash")
                                  : QString()));
    emit assistantProgress(0, assistant_.durationSec);
    return true;
}

// A run stopped while recording keeps what it has; a backlash measurement stopped gives none.
void GuideEngine::stopAssistant() {
    if (!assisting())
        return;
    const EngineChange change(*this);
    if (assistant_.meter.running()) {
        assistant_.meter.stop();
        assistant_.backlashNote = QStringLiteral("stopped");
        finishAssistant();
        return;
    }
    if (assistant_.measureBacklash)
        assistant_.backlashNote = QStringLiteral("the run was stopped first");
    if (foundFrames(assistant_) < kMinFoundFrames) {
        assistant_.state = AssistantState::Idle;
        note(QStringLiteral("Guiding Assistant stopped: too few frames for results"));
        emit assistantDone();
        return;
    }
    assistant_.onMountAxes = allOnMountAxes(assistant_);
    assistant_.figures =
        analyseAssistantRun(samplesOf(assistant_, assistant_.onMountAxes), mountDeclination());
    finishAssistant();
}

// One guide cycle of a running assistant: the frame recorded, or a backlash step. The Dec
// pulse it sent, if any.
std::optional<PulseRequest> GuideEngine::assistantFrame(const GuideRecord& record) {
    if (!assisting())
        return std::nullopt;
    const double now = assistantClock_();
    if (assistant_.meter.running())
        return backlashStep(record, now);
    assistant_.elapsedSec = now - assistant_.startSec;
    assistant_.frames.emplace_back(now, record);
    emit assistantProgress(assistant_.elapsedSec, assistant_.durationSec);
    if (assistant_.elapsedSec < assistant_.durationSec)
        return std::nullopt;
    return endRecording(record, now);
}

std::optional<PulseRequest> GuideEngine::endRecording(const GuideRecord& record, double now) {
    assistant_.onMountAxes = allOnMountAxes(assistant_);
    if (foundFrames(assistant_) >= kMinFoundFrames)
        assistant_.figures =
            analyseAssistantRun(samplesOf(assistant_, assistant_.onMountAxes), mountDeclination());
    if (!assistant_.figures || !assistant_.measureBacklash) {
        finishAssistant();
        return std::nullopt;
    }
    QString why;
    const auto plan = backlashPlan(why);
    if (!plan) {
        assistant_.backlashNote = why;
        finishAssistant();
        return std::nullopt;
    }
    note(QStringLiteral("Guiding Assistant: measuring the Dec backlash, %1 ms steps")
             .arg(plan->stepMs));
    assistant_.meter.start(*plan);
    return backlashStep(record, now);
}

std::optional<PulseRequest> GuideEngine::backlashStep(const GuideRecord& record, double now) {
    BacklashMeter& meter = assistant_.meter;
    std::optional<PulseRequest> request;
    if (!record.found)
        meter.starLost();
    else
        request = meter.next(now, QPointF(record.starX, record.starY));
    if (request) {
        const bool out = pulse(request->direction, request->ms);
        meter.sent(out, static_cast<double>(state.backlashMs) + request->ms);
        if (!out)
            request.reset();
    }
    assistant_.elapsedSec = now - assistant_.startSec;
    emit assistantProgress(assistant_.elapsedSec, assistant_.durationSec);
    if (!meter.running()) {
        assistant_.backlashNote = meter.failure();
        finishAssistant();
    }
    return request;
}

// Steps sized by the Dec speed (the calibration's when it has Dec, else the Options' guide rate)
// and the seeing just measured; the drift just measured is taken out.
std::optional<BacklashPlan> GuideEngine::backlashPlan(QString& why) {
    why = whyNoPulses();
    if (!why.isEmpty())
        return std::nullopt;
    const double scale = (state.arcsecPerPixelX + state.arcsecPerPixelY) / 2;
    const Calibration* c = calibrationInUse();
    const double speed = c && c->hasDec ? c->decSpeed : scale > 0 ? state.decGuideRate / scale : 0;
    const double seeingPx = scale > 0 ? assistant_.figures->dec.seeingRms / scale : 0;
    auto plan =
        planBacklash(speed, seeingPx, Globals::searchRadius, assistant_.figures->driftPxPerSec);
    if (!plan)
        why = QStringLiteral("the Dec guide rate must be above 0 (Options)");
    return plan;
}

// Empty when the guide output can send pulses now.
QString GuideEngine::whyNoPulses() {
    if (state.modeSerial)
        return QStringLiteral("the Serial guide output sends no pulses");
    if (state.modeParallel && Globals::lxPortAddress == 0)
        return QStringLiteral("the relay box needs a parallel LX port (Options, Camera tab)");
    if (state.modeAscom && (!state.telescope || !telescopeConnected()))
        return QStringLiteral("the telescope is not connected");
    return {};
}

void GuideEngine::finishAssistant() {
    AssistantRun& run = assistant_;
    run.state = run.figures ? AssistantState::Done : AssistantState::Idle;
    if (run.figures) {
        AssistantResults r;
        r.figures = *run.figures;
        r.onMountAxes = run.onMountAxes;
        r.backlash = run.meter.result();
        r.backlashNote = r.backlash ? QString() : run.backlashNote;
        r.advice = adviseAssistant(r.figures, kMinExposureSec, kMaxExposureSec);
        run.results = r;
        if (r.backlash && !r.backlash->atLeast)
            storeMeasuredBacklash(r.backlash->ms);
    }
    note(run.results ? QStringLiteral("Guiding Assistant done: seeing %1 arcsec, advice %2 s "
                                      "exposures, %3 law")
                           .arg(std::max(run.results->figures.ra.seeingRms,
                                         run.results->figures.dec.seeingRms),
                                0, 'f', 2)
                           .arg(run.results->advice.exposureMs / 1000.0)
                           .arg(run.results->advice.law)
                     : QStringLiteral("Guiding Assistant: the star was not found often enough "
                                      "for results"));
    emit assistantDone();
}

// Kept for the laws' backlash compensation as loadLaws() would read it back.
void GuideEngine::storeMeasuredBacklash(double ms) {
    const long whole = std::lround(ms);
    saveSetting(keys::MeasuredDecBacklash.section, keys::MeasuredDecBacklash.key, fromWhole(whole));
    decBacklash_ = BacklashCompensator(whole <= keys::kMaxMeasuredBacklashMs ? whole : 0);
}

std::optional<double> GuideEngine::measuredDecBacklash() const {
    const QString text = platform_.store->readSetting(keys::MeasuredDecBacklash.section,
                                                      keys::MeasuredDecBacklash.key,
                                                      keys::MeasuredDecBacklash.startupDefault);
    const auto ms = toWhole(text, 0, keys::kMaxMeasuredBacklashMs);
    return ms ? std::optional<double>(static_cast<double>(*ms)) : std::nullopt;
}

// The law is chosen as Guide Law Options chooses it, with the minimum move where it has one.
bool GuideEngine::applyAssistantAdvice() {
    if (!assistant_.results) {
        note(QStringLiteral("Guiding Assistant: no advice to apply (run it first)"));
        return false;
    }
    const EngineChange change(*this);
    const AssistantAdvice& a = assistant_.results->advice;
    setExposureMs(a.exposureMs);
    for (const bool dec : {false, true}) {
        chooseLaw(dec, a.law);
        const double move = dec ? a.decMinMoveArcsec : a.raMinMoveArcsec;
        // A law that sets its own dead band (Predictive) has no minimum move to take.
        setLawParam(dec, QStringLiteral("Minimum Move"), move);
    }
    note(QStringLiteral("Guiding Assistant advice applied: %1 s exposures, the %2 law")
             .arg(a.exposureMs / 1000.0)
             .arg(a.law));
    return true;
}
