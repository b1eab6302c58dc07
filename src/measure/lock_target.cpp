#include "app/Globals.h"
#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/VFW.h"

#include <QLabel>
#include <QPushButton>
#include <cmath>

// Lock: Idle -> Armed (yellow) -> Locked (green, by a click on the star); a click while Armed,
// Locked or Lost returns to Idle (red).
void frmMain::cmdLock_Click() {
    if (state.focusing)
        return;
    stopCalibration();
    if (state.lockLost) {
        setButtonColour(cmdLock, Colour::Red);
        state.lockArmed = state.locked = state.lockLost = false;
        lblDx->setText(QString());
        lblDy->setText(QString());
    } else if (state.lockArmed || state.locked) {
        setButtonColour(cmdLock, Colour::Red);
        state.locked = state.lockArmed = false;
        setButtonColour(cmdCenter, Colour::Red);
        lblDx->setText(QString());
        lblDy->setText(QString());
    } else {
        setButtonColour(cmdLock, Colour::Yellow);
        state.lockArmed = true;
    }
}

// button 1 left, 2 right; x and y in frame pixels.
void frmMain::picFrame_MouseUp(int button, float x, float y) {
    if (button == 1 && state.lockArmed) {
        picFrame->refresh();
        searchStar(x, y);
        // Taken whatever the search found: on empty sky the target becomes (0, 0).
        state.targetX = Globals::starX;
        state.targetY = Globals::starY;
        setButtonColour(cmdCenter, Colour::Red);
        drawStarCircles();
        state.lockArmed = false;
        state.locked = true;
        setButtonColour(cmdLock, Colour::Green);
    }
    if (button == 2) {
        if (state.markShown) {
            state.markShown = false;
        } else {
            state.markShown = true;
            state.markX = x;
            state.markY = y;
        }
    }
}

void frmMain::drawStarCircles() {
    const float cx = std::floor(Globals::starX);
    const float cy = std::floor(Globals::starY);
    picFrame->drawCircle(cx, cy, 8, Colour::Red);
    picFrame->drawCircle(cx, cy, Globals::searchRadius, Colour::Red);
}

// The target moves to the frame centre; guiding then steers the star there.
void frmMain::cmdCenter_Click() {
    if (state.focusing || !state.locked)
        return;
    CAPSTATUS status;
    if (!capGetStatus(state.hCapWnd.get(), status))
        return;
    state.targetX = static_cast<float>(status.uiImageWidth / 2);
    state.targetY = static_cast<float>(status.uiImageHeight / 2);
    setButtonColour(cmdCenter, Colour::Green);
}
