#include "app/frmMain.h"
#include "capture/VFW.h"

#include <QTimer>

// The next exposure starts when the cycle's pulses (and any nudge still running) have ended, so
// that the frame shows the mount where the corrections took it. The wait is polled by a timer,
// never slept: the window, the server and Stop stay responsive meanwhile.
void frmMain::scheduleNextExposure() {
    if (pulsesRunning()) {
        pulseTimer_->start();
        return;
    }
    startNextExposure();
}

void frmMain::pollPulses() {
    if (!pulseTimer_->isActive() || pulsesRunning())
        return;
    pulseTimer_->stop();
    if (pulseWait_.timedOut(PulseAxis::RA) || pulseWait_.timedOut(PulseAxis::Dec))
        note(QStringLiteral("The mount did not report the end of a guide pulse in time; the next "
                            "exposure starts anyway"));
    startNextExposure();
}

bool frmMain::pulsesRunning() {
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
void frmMain::startNextExposure() {
    if (state.camModified)
        startLXExposure();
    capStartExposure(state.hCapWnd.get(), state.nextExposureSec);
    if (!state.pausedFull)
        HalfSecTimer->start();
    if (timingPending_)
        guideHistory_.timeLast(static_cast<double>(clock_.elapsed() - exposureEndedMs_),
                               pulseWait_.ranMs(PulseAxis::RA), pulseWait_.ranMs(PulseAxis::Dec));
    timingPending_ = false;
}

// Stop (or a new start) of the loop ends a wait: no exposure follows it.
void frmMain::cancelPulseWait() {
    pulseTimer_->stop();
    timingPending_ = false;
}
