#include "app/Globals.h"
#include "app/button_colour.h"
#include "app/frmMain.h"
#include "guiding/calibration_store.h"
#include "guiding/frmCalibration.h"
#include "guiding/pointing_advice.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>

// Below the three outputs: the calibration's own items.
void frmMain::buildCalibrationMenu() {
    mnuGuiding->addSeparator();
    mnuCalibrate = mnuGuiding->addAction(QStringLiteral("Calibrate"));
    mnuUseCalibration = mnuGuiding->addAction(QStringLiteral("Use Calibration"));
    mnuUseCalibration->setCheckable(true);
    mnuClearCalibration = mnuGuiding->addAction(QStringLiteral("Clear Calibration"));
    mnuCalibrationWindow = mnuGuiding->addAction(QStringLiteral("Calibration..."));
    connect(mnuCalibrate, &QAction::triggered, this, &frmMain::mnuCalibrate_Click);
    connect(mnuUseCalibration, &QAction::triggered, this, &frmMain::mnuUseCalibration_Click);
    connect(mnuClearCalibration, &QAction::triggered, this, &frmMain::mnuClearCalibration_Click);
    connect(mnuCalibrationWindow, &QAction::triggered, this, &frmMain::mnuCalibrationWindow_Click);
    connect(&calibrator_, &Calibrator::stepped, this, [this](const CalibrationProgress& p) {
        note(QStringLiteral("Calibrating: ") + calibrationProgressText(p));
    });
    connect(&calibrator_, &Calibrator::completed, this, &frmMain::calibrationCompleted);
    connect(&calibrator_, &Calibrator::failed, this, &frmMain::calibrationFailed);
    connect(&calibrator_, &Calibrator::stopped, this,
            [this] { note(QStringLiteral("Calibration stopped; nothing stored")); });
}

void frmMain::loadCalibration() {
    calibration_ = readCalibration(*platform_.store);
    const QString use =
        platform_.store->readSetting(kCalibrationSection, kUseCalibrationKey, QStringLiteral("0"));
    mnuUseCalibration->setChecked(use.trimmed() == QStringLiteral("1"));
    calibrationInUse();
}

void frmMain::mnuCalibrate_Click() {
    if (startCalibration())
        mnuCalibrationWindow_Click();
}

void frmMain::mnuUseCalibration_Click() {
    saveSetting(kCalibrationSection, kUseCalibrationKey,
                mnuUseCalibration->isChecked() ? "1" : "0");
    calibrationInUse();
}

void frmMain::mnuClearCalibration_Click() {
    clearCalibration(*platform_.store);
    calibration_.reset();
    if (calibrationWindow_)
        calibrationWindow_->showResult(calibration_);
    calibrationInUse();
    note(QStringLiteral("Calibration cleared"));
}

void frmMain::mnuCalibrationWindow_Click() {
    if (!calibrationWindow_) {
        calibrationWindow_ = new frmCalibration(calibrator_, this);
        connect(calibrationWindow_, &frmCalibration::stopClicked, this, &frmMain::stopCalibration);
        calibrationWindow_->showResult(calibration_);
        calibrationWindow_->placeBeside(*this);
    }
    calibrationWindow_->show();
    calibrationWindow_->raise();
}

QString frmMain::guideOutputName() {
    if (state.modeParallel)
        return QStringLiteral("Parallel");
    if (state.modeSerial)
        return QStringLiteral("Serial");
    return QStringLiteral("ASCOM ") + platform_.store->readSetting(keys::DriverID.section,
                                                                   keys::DriverID.key,
                                                                   keys::DriverID.startupDefault);
}

// Empty when a calibration can start: what Guide needs, and the loop running.
QString frmMain::whyCalibrationCannotStart() {
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

bool frmMain::startCalibration(bool quiet) {
    const QString why = whyCalibrationCannotStart();
    const auto plan = planCalibration(
        state.raGuideRate, state.decGuideRate, (state.arcsecPerPixelX + state.arcsecPerPixelY) / 2,
        Globals::searchRadius, state.decCorrect, calibrationDistance(*platform_.store));
    if (!why.isEmpty() || !plan) {
        note(!why.isEmpty() ? why
                            : QStringLiteral("Calibrate needs guide rates above 0 (Options)"));
        return false;
    }
    if (state.guiding)
        cmdGuide_Click();
    calibrationQuiet_ = quiet;
    calibrator_.start(*plan, {state.arcsecPerPixelX, state.arcsecPerPixelY, guideOutputName()});
    note(QStringLiteral("Calibrating: West and East%1, %2 px, from the next exposure")
             .arg(plan->withDec ? QStringLiteral(", then North and South") : QString())
             .arg(plan->distancePx, 0, 'f', 0));
    if (const QString warning = calibrationPointingWarning(mountDeclination()); !warning.isEmpty())
        note(warning);
    return true;
}

void frmMain::stopCalibration() {
    calibrator_.stop();
}

// The star was found at the end of an exposure: the next calibration pulse goes now.
void frmMain::calibrationStep() {
    const auto request = calibrator_.next(QPointF(Globals::starX, Globals::starY));
    if (request)
        pulse(request->direction, request->ms);
}

void frmMain::calibrationCompleted(const Calibration& result) {
    writeCalibration(*platform_.store, result);
    calibration_ = result;
    if (calibrationWindow_)
        calibrationWindow_->showResult(calibration_);
    note(QStringLiteral("Calibration done: ") + calibrationSummary(result).mid(1).join("; "));
    calibrationInUse();
}

void frmMain::calibrationFailed(const QString& failure) {
    const QString reason = explainCalibrationFailure(
        failure, calibrator_.lastFailure().littleRaMotion, mountDeclination());
    note(reason);
    if (!calibrationQuiet_)
        platform_.messages->show(reason, MessageIcon::Critical);
}

// The guide output's mount declination, when it is a mount that can say.
std::optional<double> frmMain::mountDeclination() {
    if (!state.modeAscom || !state.telescope)
        return std::nullopt;
    try {
        return state.telescope->declination();
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

const Calibration* frmMain::calibrationInUse() {
    if (!mnuUseCalibration || !mnuUseCalibration->isChecked()) {
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
    // Used for RA; Dec stays uncorrected rather than pushed along a guessed axis.
    showCalibrationUse(true, state.decCorrect && !calibration_->hasDec
                                 ? QStringLiteral("The calibration has no Dec axis: Dec is not "
                                                  "corrected; calibrate with Declination "
                                                  "Corrections on")
                                 : QString());
    return &*calibration_;
}

// A lasting condition says why a ticked calibration is not (fully) used; the reverse switches'
// tooltip says when they are not applied.
void frmMain::showCalibrationUse(bool used, const QString& condition) {
    const QString tip =
        used ? QStringLiteral("Not applied while the calibration is used: it knows the directions")
             : QString();
    chkRevNS->setToolTip(tip);
    chkRevEW->setToolTip(tip);
    if (condition.isEmpty())
        clearCondition(QStringLiteral("calibration"));
    else
        showCondition(QStringLiteral("calibration"), condition);
}
