#include "app/frmMain.h"

#include <QAction>

// Shut-down: the check mark of "Connected" records the connection this window last made, so a
// driver is told to disconnect only when it carries the mark. A driver that fails here must
// not stop the window from closing.
void frmMain::disconnectTelescope() {
    if (!state.telescope || !mnuTelescopeConnected->isChecked())
        return;
    try {
        state.telescope->setConnected(false);
    } catch (const std::exception& error) {
        note(QStringLiteral("Telescope did not disconnect: %1")
                 .arg(QString::fromUtf8(error.what())));
    }
}
