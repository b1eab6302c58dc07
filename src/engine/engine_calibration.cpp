#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "guiding/calibration_store.h"
#include "guiding/pointing_advice.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "settings/setting_keys.h"

void GuideEngine::loadCalibration() {
    calibration_ = readCalibration(*platform_.store);
    flipKeepsDec_ =
        platform_.store->readSetting(kCalibrationSection, kFlipKeepsDecKey, QStringLiteral("0"))
            .trimmed() == QStringLiteral("1");
    const QString use =
        platform_.store->readSetting(kCalibrationSection, kUseCalibrationKey, QStringLiteral("0"));
    useCalibration_ = use.trimmed() == QStringLiteral("1");
    emit calibrationChanged();
    calibrationInUse();
}

void GuideEngine::setUseCalibration(bool use) {
    const EngineChange change(*this);
    useCalibration_ = use;
    saveSetting(kCalibrationSection, kUseCalibrationKey, use ? "1" : "0");
    calibrationInUse();
}

void GuideEngine::clearCalibration() {
    const EngineChange change(*this);
    ::clearCalibration(*platform_.store);
    calibration_.reset();
    adjustmentTold_.clear();
    emit calibrationChanged();
    calibrationInUse();
    note(QStringLiteral("Calibration cleared"));
}

QString GuideEngine::guideOutputName() {
    if (state.modeParallel)
        return QStringLiteral("Parallel");
    if (state.modeSerial)
        return QStringLiteral("Serial");
    return QStringLiteral("ASCOM ") + platform_.store->readSetting(keys::DriverID.section,
                                                                   keys::DriverID.key,
                                                                   keys::DriverID.startupDefault);
}

// Empty when a calibration can start: what Guide needs, and the loop running.
QString GuideEngine::whyCalibrationCannotStart() {
    if (calibrating())
        return QStringLiteral("A calibration is already running");
    if (!state.previewing)
        return QStringLiteral("Calibrate needs the exposure loop running (Preview)");
    if (!state.locked || state.lockLost)
        return QStringLiteral("Calibrate needs a locked star (Lock, then click the star)");
    if (state.modeSerial)
        return QStringLiteral("The Serial guide output sends no pulses");
    if (state.modeParallel && Globals::lxPortAddress == 0)
        return QStringLiteral("The relay box needs a parallel LX port (Options, Camera tab)");
    if (state.modeAscom && !state.telescope)
        return QStringLiteral("Choose a telescope first (Telescope > Choose Telescope...)");
    if (state.modeAscom && !telescopeConnected())
        return QStringLiteral("Calibrate needs the telescope connected");
    return {};
}

bool GuideEngine::startCalibration(bool quiet) {
    const QString why = whyCalibrationCannotStart();
    const auto plan = planCalibration(
        state.raGuideRate, state.decGuideRate, (state.arcsecPerPixelX + state.arcsecPerPixelY) / 2,
        Globals::searchRadius, state.decCorrect, calibrationDistance(*platform_.store));
    if (!why.isEmpty() || !plan) {
        note(!why.isEmpty() ? why
                            : QStringLiteral("Calibrate needs guide rates above 0 (Options)"));
        return false;
    }
    const EngineChange change(*this);
    if (state.guiding)
        stopGuiding();
    stopAssistant();
    calibrationQuiet_ = quiet;
    calibrator_.start(*plan, {state.arcsecPerPixelX, state.arcsecPerPixelY, guideOutputName()});
    readPointing(true);
    note(QStringLiteral("Calibrating: West and East%1, %2 px, from the next exposure")
             .arg(plan->withDec ? QStringLiteral(", then North and South") : QString())
             .arg(plan->distancePx, 0, 'f', 0));
    for (const QString& warning : calibrationPointingWarnings(pointing_))
        note(warning);
    return true;
}

void GuideEngine::stopCalibration() {
    calibrator_.stop();
}

// The star was found at the end of an exposure: the next calibration pulse goes now.
void GuideEngine::calibrationStep() {
    const auto request = calibrator_.next(QPointF(Globals::starX, Globals::starY));
    if (request)
        pulse(request->direction, request->ms);
}

void GuideEngine::calibrationCompleted(Calibration result) {
    readPointing(true);
    result.decDeg = pointing_.decDeg;
    result.hourAngleH = pointing_.hourAngleH;
    result.pierSide = pointing_.pierSide;
    writeCalibration(*platform_.store, result);
    calibration_ = result;
    adjustmentTold_.clear();
    const QString backlash = result.hasDec ? storeCalibrationBacklash() : QString();
    emit calibrationChanged();
    note(QStringLiteral("Calibration done: ") + calibrationSummary(result).mid(1).join("; "));
    if (!backlash.isEmpty())
        note(backlash);
    calibrationInUse();
}

// The Dec backlash the calibration's North then South legs show, stored; what to tell.
QString GuideEngine::storeCalibrationBacklash() {
    const auto backlash = backlashFromCalibration(calibrator_.path(), state.decBacklash);
    if (!backlash)
        return QStringLiteral("Calibration: the Dec backlash could not be told from its steps");
    storeMeasuredBacklash(backlash->ms);
    return QStringLiteral("Calibration: Dec backlash about %1 ms").arg(backlash->ms, 0, 'f', 0);
}

void GuideEngine::calibrationFailed(const QString& failure) {
    const QString reason = explainCalibrationFailure(
        failure, calibrator_.lastFailure().littleRaMotion, pointing_.decDeg);
    note(reason);
    if (!calibrationQuiet_)
        platform_.messages->show(reason, MessageIcon::Critical);
}

const Calibration* GuideEngine::calibrationInUse() {
    if (!useCalibration_) {
        showCalibrationUse(false, {});
        return nullptr;
    }
    if (!calibration_) {
        showCalibrationUse(false,
                           QStringLiteral("Use Calibration: no calibration stored (Calibrate)"));
        return nullptr;
    }
    const QString mismatch = calibrationMismatch(*calibration_, state.arcsecPerPixelX,
                                                 state.arcsecPerPixelY, guideOutputName());
    if (!mismatch.isEmpty()) {
        showCalibrationUse(false, mismatch);
        return nullptr;
    }
    const PointingAdjustment adjustment = calibrationAdjustment();
    adjusted_ = adjustedCalibration(*calibration_, adjustment);
    tellAdjustment(adjustmentText(*calibration_, adjustment));
    // Used for RA; Dec stays uncorrected rather than pushed along a guessed axis.
    showCalibrationUse(true, state.decCorrect && !calibration_->hasDec
                                 ? QStringLiteral("The calibration has no Dec axis: Dec is not "
                                                  "corrected; calibrate with Declination "
                                                  "Corrections on")
                                 : QString());
    return &adjusted_;
}

// A lasting condition says why a ticked calibration is not (fully) used.
void GuideEngine::showCalibrationUse(bool used, const QString& condition) {
    emit calibrationUseChanged(used);
    if (condition.isEmpty())
        clearCondition(QStringLiteral("calibration"));
    else
        showCondition(QStringLiteral("calibration"), condition);
}
