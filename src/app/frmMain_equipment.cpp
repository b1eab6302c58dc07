#include "app/dialog_place.h"
#include "app/frmEquipment.h"
#include "app/frmMain.h"

#include <QAction>

void frmMain::mnuEquipment_Click() {
    if (!equipmentWindow) {
        equipmentWindow = new frmEquipment(engine_, this);
        connect(equipmentWindow, &frmEquipment::disconnectAllClicked, this,
                &frmMain::disconnectAll);
        placeDialog(*equipmentWindow, *this);
    } else {
        equipmentWindow->refresh();
    }
    equipmentWindow->show();
    equipmentWindow->raise();
}

// Guiding and the loop stop before the camera and mount go.
void frmMain::disconnectAll() {
    if (state.guiding)
        engine_.stopGuiding();
    if (state.previewing && !state.focusing)
        engine_.toggleLoop();
    engine_.disconnectEquipment();
}
