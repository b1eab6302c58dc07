#include "app/dialog_place.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "graph/graph_view_settings.h"
#include "graph/guide_panel.h"
#include "settings/frmOptions.h"
#include "settings/setting_keys.h"

#include <QCheckBox>
#include <QSlider>

// The engine loads the record; the controls then show what it loaded.
void frmMain::setDefaults() {
    engine_.loadSettings(startingUp_);
    showLoadedSettings();
}

// An Options window holding the previous set's text is let go, so that its OK cannot store
// that text in the new set.
void frmMain::showSwitchedProfile() {
    if (optionsDialog)
        optionsDialog->deleteLater();
    showLoadedSettings();
}

void frmMain::showLoadedSettings() {
    const QSignalBlocker quietExposure(sldExposure);
    const QSignalBlocker quietAggressiveness(sldAggressiveness);
    const QSignalBlocker quietNS(chkRevNS);
    const QSignalBlocker quietEW(chkRevEW);
    sldExposure->setValue(engine_.sliderExposure());
    sldAggressiveness->setValue(engine_.aggressiveness());
    showAggressivenessValue(engine_.aggressiveness());
    chkRevNS->setChecked(state.reverseNS);
    chkRevEW->setChecked(state.reverseEW);
    showStatusNotes();
}

// Shows the Options window without modality. It is built when there is none: on the first
// opening of a run, or after the operator closed it through its title bar. A window hidden by
// OK or Cancel comes back as it was left, without reloading.
void frmMain::mnuOptions_Click() {
    if (!optionsDialog) {
        optionsDialog = new frmOptions(*this, *platform().store, this);
        placeDialog(*optionsDialog, *this);
    }
    optionsDialog->show();
    optionsDialog->raise();
    optionsDialog->activateWindow();
}

// The panel beside the frame; it reads the guiding settings each time it draws, and its view
// options are kept in the settings.
QWidget* frmMain::buildGuidePanel() {
    guidePanel = new GuidePanel(guideHistory(), *picFrame, [this] {
        return GraphLimits{state.minCorrection, state.arcsecPerPixelX, state.arcsecPerPixelY};
    });
    restoreGraphView(*guidePanel->graph, *platform().store);
    keepGraphView(*guidePanel->graph, [this](const SettingKey& key, const QString& text) {
        engine_.saveSetting(key.section, key.key, text);
    });
    return guidePanel;
}
