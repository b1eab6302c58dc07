#include "app/frmMain.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/telescope/driver_chooser.h"
#include "platform/telescope/telescope.h"

#include <QAction>

// The menu follows the engine's telescope: "<none>" with nothing to connect or set up, else the
// driver's identifier and its Connected mark.
void frmMain::showTelescopeMenu() {
    const QString identifier = engine_.telescopeId();
    mnuTelescopeConnected->setChecked(engine_.telescopeMarked());
    if (identifier.isEmpty()) {
        mnuScope->setText(QStringLiteral("<none>"));
        mnuScope->setEnabled(false);
        mnuTelescopeConnected->setEnabled(false);
        mnuTelescopeProperties->setEnabled(false);
        return;
    }
    mnuScope->setText(QStringLiteral("Scope->") + identifier);
    mnuScope->setEnabled(true);
    mnuTelescopeConnected->setEnabled(true);
    if (engine_.telescopeMarked())
        mnuTelescopeProperties->setEnabled(true);
}

// Choosing always forgets the previous driver first, so a cancelled choice leaves none.
void frmMain::mnuChooseTelescope_Click() {
    engine_.forgetTelescope();
    engine_.chooseTelescope(platform().chooser->Choose());
}

void frmMain::mnuTelescopeConnected_Click() {
    // The menu re-checks the entry itself on a click; its mark follows the engine.
    mnuTelescopeConnected->setChecked(engine_.telescopeMarked());
    if (engine_.toggleTelescopeConnection())
        mnuTelescopeProperties->setEnabled(true);
}

void frmMain::mnuTelescopeProperties_Click() {
    if (state.guiding) {
        platform().messages->show(
            QStringLiteral("You must disable guiding before changing telescope properties."),
            MessageIcon::Critical);
        return;
    }
    if (!state.telescope)
        return;
    const bool keepConnection = state.telescope->setupDialogKeepsConnection();
    if (!keepConnection && engine_.telescopeConnected())
        engine_.disconnectTelescope();
    try {
        state.telescope->SetupDialog();
    } catch (const std::exception& error) {
        note(QStringLiteral("Telescope settings: %1").arg(QString::fromUtf8(error.what())));
    }
    // A dialog on the live device may have switched it off (or on): the mark follows the driver,
    // and a mount switched off there is not connected again by itself.
    if (keepConnection)
        engine_.followTelescopeSetup();
}
