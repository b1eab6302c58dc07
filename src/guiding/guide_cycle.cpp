#include "app/Globals.h"
#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/VFW.h"
#include "guiding/corrections.h"
#include "guiding/number_format.h"
#include "platform/sound/sound.h"
#include "server/server_link.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
bool noStar() {
    return Globals::starX <= 0 && Globals::starY <= 0;
}
} // namespace

// One guide cycle at the end of an exposure: bring in the frame, find the locked star, show and
// log its error, correct, and start the next exposure.
void frmMain::PostLX() {
    if (!state.previewing) {
        HalfSecTimer->stop();
        return;
    }
    transferFrame();
    ++state.loopFrames;
    if (state.markShown)
        drawReferenceMark();
    if (state.lockLost) {
        searchStar(state.targetX, state.targetY);
        if (noStar()) {
            setButtonColour(cmdLock, Colour::Yellow);
            clearErrorLabels();
        }
    }
    if (state.locked)
        measureLockedStar();
    scheduleNextExposure();
    setProgressValueSec(state.elapsedSec);
    if (server_)
        server_->afterCycle();
}

void frmMain::measureLockedStar() {
    searchStar(Globals::starX, Globals::starY);
    state.errX = state.targetX - Globals::starX;
    state.errY = state.targetY - Globals::starY;
    if (noStar()) {
        state.lockLost = true;
        setButtonColour(cmdLock, Colour::Yellow);
        clearErrorLabels();
        platform_.sound->play(QStringLiteral("LockLost.wav"));
        calibrator_.starLost();
        guideHistory_.append(newCycleRecord(false));
        timingPending_ = true;
        return;
    }
    state.lockLost = false;
    setButtonColour(cmdLock, Colour::Green);
    drawStarCircles();
    const double ra = state.errX * state.arcsecPerPixelX;
    const double dec = state.errY * state.arcsecPerPixelY;
    lblDx->setText(formatFixed(ra, 6));
    lblDy->setText(formatFixed(dec, 6));
    if (state.logging)
        writeErrorLogLine(ra, dec);
    GuideRecord record = newCycleRecord(true);
    if (state.guiding && !state.paused) {
        const Corrections c = makeCorrections();
        record.raPulse = c.ra;
        record.decPulse = c.dec;
    } else if (calibrating()) {
        calibrationStep();
    }
    guideHistory_.append(record);
    timingPending_ = true;
}

// A hash-shaped frame 12 pixels wide around the mark, across the whole frame.
void frmMain::drawReferenceMark() {
    const float w = static_cast<float>(state.frameWidth);
    const float h = static_cast<float>(state.frameHeight);
    picFrame->drawLine(state.markX + 6, 0, state.markX + 6, h, Colour::Red);
    picFrame->drawLine(0, state.markY + 6, w, state.markY + 6, Colour::Red);
    picFrame->drawLine(state.markX - 6, 0, state.markX - 6, h, Colour::Red);
    picFrame->drawLine(0, state.markY - 6, w, state.markY - 6, Colour::Red);
}

void frmMain::clearErrorLabels() {
    lblDx->setText(QString());
    lblDy->setText(QString());
}

// At most one RA pulse, then one Dec pulse; the reverse switches are read at this moment.
// A calibration in use sets the axes, directions and speeds instead. Returns the pulses it
// sent.
Corrections frmMain::makeCorrections() {
    const CorrectionSettings settings{
        state.arcsecPerPixelX, state.arcsecPerPixelY, state.minCorrection, state.maxCorrection,
        state.raGuideRate,     state.decGuideRate,    state.decCorrect,    state.aggressiveness,
        chkRevEW->isChecked(), chkRevNS->isChecked()};
    const Calibration* calibration = calibrationInUse();
    Corrections c = calibration
                        ? calibratedCorrections(*calibration, state.errX, state.errY, settings)
                        : computeCorrections(state.errX, state.errY, settings);
    if (c.raRateInvalid || c.decRateInvalid)
        note(QStringLiteral("No correction: the %1 guide rate must be above 0 (Options)")
                 .arg(c.raRateInvalid ? QStringLiteral("RA") : QStringLiteral("Dec")));
    // A pulse that did not go out is no correction: the record and imaging programs must not
    // count it.
    if (c.ra && !pulse(c.ra->direction, c.ra->ms))
        c.ra.reset();
    if (c.dec && !pulse(c.dec->direction, c.dec->ms))
        c.dec.reset();
    return c;
}
