#include "app/frmMain.h"
#include "capture/VFW.h"

#include <QAction>
#include <QMenu>

QAction* frmMain::driverMenuEntry(int index) {
    while (mnuDriver.size() <= index)
        mnuDriver.append(nullptr);
    if (!mnuDriver[index]) {
        QAction* entry = mnuCamera->addAction(QString());
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, index] { mnuDriver_Click(index); });
        mnuDriver[index] = entry;
    }
    return mnuDriver[index];
}

void frmMain::mnuDriver_Click(int index) {
    engine_.connectCamera(index);
}

// An entry for every driver that answered, the connected one checked, the driver's dialogs
// offered as it says.
void frmMain::showCameraMenu() {
    const QStringList& captions = engine_.driverCaptions();
    for (int index = 0; index < captions.size(); ++index)
        if (!captions[index].isEmpty())
            driverMenuEntry(index)->setText(captions[index]);
    for (int index = 0; index < mnuDriver.size(); ++index)
        if (mnuDriver[index])
            mnuDriver[index]->setChecked(index == engine_.checkedDriver());
    if (engine_.checkedDriver() < 0)
        return;
    const CAPDRIVERCAPS& caps = engine_.cameraCaps();
    mnuSource->setEnabled(caps.fHasDlgVideoSource);
    mnuFormat->setEnabled(caps.fHasDlgVideoFormat);
    mnuDisplay->setEnabled(caps.fHasDlgVideoDisplay);
    mnuOverlay->setEnabled(caps.fHasOverlay);
}

void frmMain::mnuSource_Click() {
    capDlgVideoSource(state.focusing ? state.hFocusWnd.get() : state.hCapWnd.get());
    if (!state.focusing)
        engine_.cameraSourceChanged();
}

void frmMain::mnuFormat_Click() {
    if (state.focusing) {
        capDlgVideoFormat(state.hFocusWnd.get());
        return;
    }
    capDlgVideoFormat(state.hCapWnd.get());
    engine_.cameraFormatChanged();
}
