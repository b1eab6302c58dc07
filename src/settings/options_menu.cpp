#include "app/frmMain.h"
#include "settings/frmOptions.h"

// Shows the Options window without modality. It is built when there is none: on the first
// opening of a run, or after the operator closed it through its title bar. A window hidden by
// OK or Cancel comes back as it was left, without reloading.
void frmMain::mnuOptions_Click() {
    if (!optionsDialog)
        optionsDialog = new frmOptions(*this, *platform().store, this);
    optionsDialog->show();
    optionsDialog->raise();
    optionsDialog->activateWindow();
}
