#include "app/frame_picture.h"
#include "app/frmMain.h"

void frmMain::cmdLock_Click() {
    engine_.toggleLock();
}

// button 1 left, 2 right; x and y in frame pixels.
void frmMain::picFrame_MouseUp(int button, float x, float y) {
    if (button == 1 && state.lockArmed)
        picFrame->refresh();
    engine_.clickFrame(button, x, y);
}

void frmMain::cmdCenter_Click() {
    engine_.centerTarget();
}

void frmMain::mnuSelectStarAutomatically_Click() {
    engine_.selectStarAutomatically();
}
