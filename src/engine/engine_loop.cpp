#include "capture/VFW.h"
#include "engine/guide_engine.h"
#include "platform/sleep/sleeper.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <cmath>

// Progress counts half-second ticks: a length between ticks counts up to the next tick, so an
// exposure under 0.5 s ends on the first.
void GuideEngine::setProgressMaximumSec(float seconds) {
    progressMaxSec_ = std::ceil(seconds * 2) / 2.0f;
    emit progressChanged(state.elapsedSec, progressMaxSec_);
}

void GuideEngine::toggleLoop() {
    if (state.focusing)
        return;
    const EngineChange change(*this);
    stopCalibration();
    stopAssistant();
    cancelPulseWait();
    if (state.previewing) {
        darksStartedLoop_ = false; // it stops here
        stopDarks();
        stopLoop();
    } else
        startLoop();
    state.previewing = !state.previewing;
}

void GuideEngine::stopLoop() {
    exposureTimer_.stop();
    emit exposureLengthShown(sliderExposureSec_);
    emit progressChanged(0, progressMaxSec_);
    endLXExposure();
}

void GuideEngine::startLoop() {
    CAPSTATUS status;
    const bool known = capGetStatus(state.hCapWnd.get(), status);
    state.frameWidth = known ? static_cast<int32_t>(status.uiImageWidth) : 0;
    state.frameHeight = known ? static_cast<int32_t>(status.uiImageHeight) : 0;
    startLXExposure();
    state.elapsedSec = 0;
    state.loopFrames = 0;
    state.exposureSec = state.nextExposureSec; // the slider's, unless a client set another
    setProgressMaximumSec(state.exposureSec);
    exposureRunningSec_ = state.exposureSec;
    capStartExposure(state.hCapWnd.get(), state.exposureSec);
    exposureTimer_.start();
}

// Every 500 ms while exposing. An exposure of N seconds ends on the 2N-th tick; the timer stays
// off from then until the guide cycle has run, so cycles never overlap.
void GuideEngine::tick() {
    state.elapsedSec += 0.5f;
    emit progressChanged(state.elapsedSec, progressMaxSec_);
    if (progressMaxSec_ > state.elapsedSec)
        return;
    exposureTimer_.stop();
    exposureEndedMs_ = clock_.elapsed();
    capGrabFrame(state.hCapWnd.get());
    endLXExposure();
    platform_.sleeper->sleepMs(state.postLXTime);
    PostLX();
    state.elapsedSec = 0;
    setProgressMaximumSec(state.nextExposureSec);
    emit exposureLengthShown(state.nextExposureSec);
}

// The next exposure starts when the cycle's pulses (and any nudge still running) have ended, so
// that the frame shows the mount where the corrections took it. The wait is polled by a timer,
// never slept: callers stay responsive meanwhile.
void GuideEngine::scheduleNextExposure() {
    if (pulsesRunning()) {
        pulseTimer_.start();
        return;
    }
    startNextExposure();
}

void GuideEngine::pollPulses() {
    if (!pulseTimer_.isActive() || pulsesRunning())
        return;
    pulseTimer_.stop();
    if (pulseWait_.timedOut(PulseAxis::RA) || pulseWait_.timedOut(PulseAxis::Dec))
        note(QStringLiteral("The mount did not report the end of a guide pulse in time; the next "
                            "exposure starts anyway"));
    startNextExposure();
}

bool GuideEngine::pulsesRunning() {
    return pulseWait_.running(clock_.elapsed(), [this](PulseAxis axis) -> std::optional<bool> {
        if (!state.telescope)
            return std::nullopt;
        try {
            return state.telescope->pulseRunning(axis == PulseAxis::RA ? guideEast : guideNorth);
        } catch (const std::exception&) {
            return std::nullopt; // the pulse's length decides
        }
    });
}

// The loop's next exposure lasts nextExposureSec (the slider may have moved meanwhile). A full
// pause that began during the wait holds the exposure timer; resuming starts it.
void GuideEngine::startNextExposure() {
    if (state.camModified)
        startLXExposure();
    exposureRunningSec_ = state.nextExposureSec;
    capStartExposure(state.hCapWnd.get(), state.nextExposureSec);
    if (!state.pausedFull)
        exposureTimer_.start();
    if (timingPending_)
        guideHistory_.timeLast(static_cast<double>(clock_.elapsed() - exposureEndedMs_),
                               pulseWait_.ranMs(PulseAxis::RA), pulseWait_.ranMs(PulseAxis::Dec));
    timingPending_ = false;
}

// Stop (or a new start) of the loop ends a wait: no exposure follows it.
void GuideEngine::cancelPulseWait() {
    pulseTimer_.stop();
    timingPending_ = false;
}

// The exposure under way when the camera came back was asked of no camera: it starts again.
void GuideEngine::resumeExposure() {
    if (!state.previewing || !exposureTimer_.isActive())
        return;
    exposureRunningSec_ = state.nextExposureSec;
    capStartExposure(state.hCapWnd.get(), state.nextExposureSec);
    state.elapsedSec = 0;
    emit progressChanged(0, progressMaxSec_);
}

// A running exposure keeps its length; the new one applies from the next exposure on.
void GuideEngine::setSliderExposure(int seconds) {
    sliderExposureSec_ = seconds;
    state.nextExposureSec = static_cast<float>(seconds);
    exposureSetSec_ = 0;
    emit exposureSetChanged();
    if (!state.previewing)
        emit exposureLengthShown(seconds);
    saveSetting(keys::Exposure.section, keys::Exposure.key, fromWhole(seconds));
}

void GuideEngine::setExposureMs(int ms) {
    const int seconds = ms / 1000;
    if (ms % 1000 == 0 && seconds >= kMinExposureSec && seconds <= kMaxExposureSec) {
        setSliderExposure(seconds);
        return;
    }
    state.nextExposureSec = static_cast<float>(ms) / 1000.0f;
    exposureSetSec_ = ms / 1000.0;
    emit exposureSetChanged();
}

void GuideEngine::setGuidingPaused(bool paused, bool full) {
    const EngineChange change(*this);
    const bool heldExposures = state.pausedFull;
    const bool changedPause = state.paused != paused;
    if (state.paused && !paused)
        lawsRestart();
    state.paused = paused;
    state.pausedFull = paused && full;
    if (state.pausedFull && state.previewing)
        exposureTimer_.stop();
    else if (heldExposures && !state.pausedFull && state.previewing && !state.focusing &&
             !pulseTimer_.isActive())
        exposureTimer_.start();
    if (changedPause)
        emit pausedChanged(paused);
}
