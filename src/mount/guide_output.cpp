#include "app/frmMain.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QCheckBox>

void frmMain::mnuAscom_Click() {
    selectGuideOutput(mnuAscom);
}
void frmMain::mnuParallel_Click() {
    selectGuideOutput(mnuParallel);
}
void frmMain::mnuSerial_Click() {
    selectGuideOutput(mnuSerial);
}

// Allowed at any time, also while guiding: the next correction goes to the new output.
// Nothing is connected, disconnected or cleared.
void frmMain::selectGuideOutput(QAction* item) {
    state.modeAscom = item == mnuAscom;
    state.modeParallel = item == mnuParallel;
    state.modeSerial = item == mnuSerial;
    // Re-checks the item too: a click on a checked item has just toggled its mark off.
    for (QAction* entry : {mnuAscom, mnuParallel, mnuSerial})
        entry->setChecked(entry == item);
    const QString stored = item == mnuAscom      ? QStringLiteral("ASCOM")
                           : item == mnuParallel ? QStringLiteral("Parallel")
                                                 : QStringLiteral("Serial");
    saveSetting(keys::GuideMode.section, keys::GuideMode.key, stored);
    calibrationInUse(); // a calibration only counts with the output it was made with
}

void frmMain::chkRevNS_Click() {
    saveSetting(keys::ReverseNS.section, keys::ReverseNS.key, chkRevNS->isChecked() ? "1" : "0");
}

void frmMain::chkRevEW_Click() {
    saveSetting(keys::ReverseEW.section, keys::ReverseEW.key, chkRevEW->isChecked() ? "1" : "0");
}
