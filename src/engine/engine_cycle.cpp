#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "guiding/calibration.h"
#include "guiding/calibration_store.h"
#include "guiding/error_log.h"
#include "measure/star_search.h"
#include "platform/sound/sound.h"

#include <QDateTime>
#include <QLocale>

namespace {
bool noStar() {
    return Globals::starX <= 0 && Globals::starY <= 0;
}
} // namespace

// One guide cycle at the end of an exposure: bring in the frame, find the locked star, report
// and log its error, correct, and start the next exposure.
void GuideEngine::PostLX() {
    if (!state.previewing) {
        exposureTimer_.stop();
        return;
    }
    const EngineChange change(*this);
    transferFrame();
    ++state.loopFrames;
    if (darkRun_) {
        takeDarkFrame();
        if (!state.previewing)
            return; // the run ended, and with it the loop it started
    } else {
        measureFrame();
    }
    scheduleNextExposure();
    emit progressChanged(state.elapsedSec, progressMaxSec_);
    emit cycleEnded();
    advanceSettle();
    emit cycleFinished();
}

void GuideEngine::measureFrame() {
    if (state.markShown)
        emit referenceMarkShown();
    if (state.lockLost) {
        searchStar(state.targetX, state.targetY);
        if (noStar())
            emit errorCleared();
    }
    if (state.locked)
        measureLockedStar();
}

void GuideEngine::measureLockedStar() {
    searchStar(Globals::starX, Globals::starY);
    state.errX = state.targetX - Globals::starX;
    state.errY = state.targetY - Globals::starY;
    if (noStar()) {
        state.lockLost = true;
        emit errorCleared();
        platform_.sound->play(QStringLiteral("LockLost.wav"));
        calibrator_.starLost();
        const GuideRecord lost = newCycleRecord(false);
        assistantFrame(lost);
        guideHistory_.append(lost);
        timingPending_ = true;
        return;
    }
    state.lockLost = false;
    emit starCircled(Globals::starX, Globals::starY);
    const double ra = state.errX * state.arcsecPerPixelX;
    const double dec = state.errY * state.arcsecPerPixelY;
    emit errorShown(ra, dec);
    if (state.logging)
        writeErrorLogLine(ra, dec);
    if (state.guiding)
        readPointing(false);
    GuideRecord record = newCycleRecord(true);
    if (state.guiding && !state.paused && !assisting()) {
        const Corrections c = makeCorrections(&record);
        record.raPulse = c.ra;
        record.decPulse = c.dec;
    } else if (calibrating()) {
        calibrationStep();
    } else if (assisting()) {
        record.decPulse = assistantFrame(record);
    }
    guideHistory_.append(record);
    timingPending_ = true;
}

// At most one RA pulse, then one Dec pulse; the reverse switches are read at this moment.
// A calibration in use sets the axes, directions and speeds instead; each axis's guide law
// decides its move (see lawCorrections). Returns the pulses it sent.
Corrections GuideEngine::makeCorrections(GuideRecord* record) {
    const CorrectionSettings settings = correctionSettings();
    const Calibration* calibration = calibrationInUse();
    const Corrections standard =
        calibration ? calibratedCorrections(*calibration, state.errX, state.errY, settings)
                    : computeCorrections(state.errX, state.errY, settings);
    const LawAxes axes = lawAxes(calibration, state.errX, state.errY, settings);
    Corrections c = lawCorrections(standard, axes, settings, record);
    if (c.raRateInvalid || c.decRateInvalid)
        note(QStringLiteral("No correction: the %1 guide rate must be above 0 (Options)")
                 .arg(c.raRateInvalid ? QStringLiteral("RA") : QStringLiteral("Dec")));
    // A pulse that did not go out is no correction: the record and imaging programs must not
    // count it.
    if (c.ra && !pulse(c.ra->direction, c.ra->ms))
        c.ra.reset();
    if (c.dec && !pulse(c.dec->direction, c.dec->ms, decLawBacklash()))
        c.dec.reset();
    lawsSent(c, axes);
    return c;
}

CorrectionSettings GuideEngine::correctionSettings() const {
    return {state.arcsecPerPixelX, state.arcsecPerPixelY, state.minCorrection, state.maxCorrection,
            state.raGuideRate,     state.decGuideRate,    state.decCorrect,    state.aggressiveness,
            state.reverseEW,       state.reverseNS};
}

// This cycle's record: its errors as the cycle computed them and the star's measures, taken
// from the same frame and search window size as the centroid.
GuideRecord GuideEngine::newCycleRecord(bool found) {
    GuideRecord r;
    r.time = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    r.guiding = state.guiding;
    r.found = found;
    if (!found)
        return r;
    r.raPx = state.errX;
    r.decPx = state.errY;
    r.raArcsec = state.errX * state.arcsecPerPixelX;
    r.decArcsec = state.errY * state.arcsecPerPixelY;
    r.starX = Globals::starX;
    r.starY = Globals::starY;
    r.star = measureStarAt(frame_, measuredRawFrame(), Globals::starX, Globals::starY,
                           Globals::searchRadius);
    // Read without touching the calibration's status conditions.
    if (calibration_ && calibrationMismatch(*calibration_, state.arcsecPerPixelX,
                                            state.arcsecPerPixelY, guideOutputName())
                            .isEmpty()) {
        const CalibratedError e = calibratedError(
            adjustedCalibration(*calibration_, calibrationAdjustment()), state.errX, state.errY);
        r.onMountAxes = true;
        r.mountRaArcsec = e.ra;
        r.mountDecArcsec = -e.dec; // North is negative, as in the frame's errors
    }
    return r;
}

// A line that cannot be written (disk full, file gone) ends logging; guiding goes on.
void GuideEngine::writeErrorLogLine(double raArcsec, double decArcsec) {
    const QString line =
        errorLogLine(QDateTime::currentDateTime(), raArcsec, decArcsec, QLocale::system());
    if (state.logFileNo->writeLine(line))
        return;
    state.logging = false;
    emit loggingChanged(false);
    const QString why = QStringLiteral("Logging stopped: %1").arg(state.logFileNo->errorString());
    note(why);
    showCondition(QStringLiteral("log"), why);
}

// The picture is made from the raw frame, so the two have one size; a raw frame of another
// size is not the frame shown and is not measured.
const RawFrame* GuideEngine::measuredRawFrame() const {
    const RawFrame* raw = clipboard_.raw().get();
    return raw && QSize(raw->width, raw->height) == frame_.image().size() ? raw : nullptr;
}

// The star search on the frame (see star_search.h): the centre in Globals::starX/starY as
// findStar leaves it.
void GuideEngine::searchStar(const float& x, const float& y) {
    findStar(frame_, measuredRawFrame(), x, y);
}
