#include "app/dialog_place.h"
#include "app/frmMain.h"
#include "guiding/frmCalibration.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

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
}

void frmMain::mnuCalibrate_Click() {
    if (startCalibration())
        mnuCalibrationWindow_Click();
}

void frmMain::mnuUseCalibration_Click() {
    engine_.setUseCalibration(mnuUseCalibration->isChecked());
}

void frmMain::mnuClearCalibration_Click() {
    engine_.clearCalibration();
}

void frmMain::mnuCalibrationWindow_Click() {
    if (!calibrationWindow_) {
        calibrationWindow_ = new frmCalibration(engine_.calibrator(), this);
        connect(calibrationWindow_, &frmCalibration::stopClicked, this, &frmMain::stopCalibration);
        calibrationWindow_->picPath->setNight(mnuNightMode->isChecked());
        showCalibration();
        placeDialog(*calibrationWindow_, *this);
    }
    showCalibration();
    calibrationWindow_->show();
    calibrationWindow_->raise();
}

void frmMain::showCalibration() {
    mnuUseCalibration->setChecked(engine_.usingCalibration());
    if (calibrationWindow_) {
        calibrationWindow_->showResult(calibration());
        calibrationWindow_->showBacklash(engine_.measuredDecBacklash());
        calibrationWindow_->showAdjustment(
            calibration() ? adjustmentText(*calibration(), engine_.calibrationAdjustment())
                          : QString());
    }
}

// The reverse switches' tooltip says when they are not applied.
void frmMain::showCalibrationUse(bool used) {
    const QString tip =
        used ? QStringLiteral("Not applied while the calibration is used: it knows the directions")
             : QString();
    chkRevNS->setToolTip(tip);
    chkRevEW->setToolTip(tip);
}
