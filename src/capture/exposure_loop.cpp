#include "app/button_colour.h"
#include "app/frmMain.h"
#include "capture/VFW.h"
#include "platform/sleep/sleeper.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <cmath>

// The progress bar counts half-second ticks; these read and write it in seconds.
// A length between ticks counts up to the next tick: an exposure under 0.5 s ends on the first.
void frmMain::setProgressMaximumSec(float seconds) {
    ExposureProgress->setMaximum(static_cast<int>(std::ceil(seconds * 2)));
}
float frmMain::progressMaximumSec() const {
    return ExposureProgress->maximum() / 2.0f;
}
void frmMain::setProgressValueSec(float seconds) {
    ExposureProgress->setValue(static_cast<int>(seconds * 2));
}

void frmMain::cmdPreview_Click() {
    if (state.focusing)
        return;
    stopCalibration();
    cancelPulseWait();
    if (state.previewing) {
        setButtonColour(cmdPreview, Colour::Red);
        HalfSecTimer->stop();
        lblLX->setText(QString::number(sldExposure->value()));
        setProgressValueSec(0);
        endLXExposure();
    } else {
        setButtonColour(cmdPreview, Colour::Green);
        CAPSTATUS status;
        const bool known = capGetStatus(state.hCapWnd.get(), status);
        state.frameWidth = known ? static_cast<int32_t>(status.uiImageWidth) : 0;
        state.frameHeight = known ? static_cast<int32_t>(status.uiImageHeight) : 0;
        startLXExposure();
        state.elapsedSec = 0;
        state.loopFrames = 0;
        state.exposureSec = state.nextExposureSec; // the slider's, unless a client set another
        setProgressMaximumSec(state.exposureSec);
        capStartExposure(state.hCapWnd.get(), state.exposureSec);
        HalfSecTimer->start();
    }
    state.previewing = !state.previewing;
}

// Every 500 ms while exposing. An exposure of N seconds ends on the 2N-th tick; the timer stays
// off from then until the guide cycle has run, so cycles never overlap.
void frmMain::HalfSecTimer_Timer() {
    state.elapsedSec += 0.5f;
    setProgressValueSec(state.elapsedSec);
    if (progressMaximumSec() > state.elapsedSec)
        return;
    HalfSecTimer->stop();
    exposureEndedMs_ = clock_.elapsed();
    capGrabFrame(state.hCapWnd.get());
    endLXExposure();
    platform_.sleeper->sleepMs(state.postLXTime);
    PostLX();
    state.elapsedSec = 0;
    setProgressMaximumSec(state.nextExposureSec);
    lblLX->setText(QString::number(static_cast<double>(state.nextExposureSec)));
    setProgressValueSec(0);
}
