#include "app/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>

void frmMain::sldAggressiveness_Change() {
    const int percent = sldAggressiveness->value();
    showAggressivenessValue(percent);
    engine_.setAggressiveness(percent);
}

// The slider's position beside its caption, also while it is dragged.
void frmMain::showAggressivenessValue(int percent) {
    lblAggressivenessValue->setText(QStringLiteral("%1%").arg(percent));
}

void frmMain::cmdGuide_Click() {
    engine_.toggleGuide();
}

void frmMain::chkLogErrors_Click() {
    engine_.setLogging(chkLogErrors->isChecked());
}
