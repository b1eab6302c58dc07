#include "app/frmMain.h"

#include <QCheckBox>

void frmMain::mnuAscom_Click() {
    engine_.selectGuideOutput(QStringLiteral("ASCOM"));
}
void frmMain::mnuParallel_Click() {
    engine_.selectGuideOutput(QStringLiteral("Parallel"));
}
void frmMain::mnuSerial_Click() {
    engine_.selectGuideOutput(QStringLiteral("Serial"));
}

void frmMain::chkRevNS_Click() {
    engine_.setReverse(true, chkRevNS->isChecked());
}

void frmMain::chkRevEW_Click() {
    engine_.setReverse(false, chkRevEW->isChecked());
}
