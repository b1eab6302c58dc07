#include "app/button_colour.h"
#include "app/dialog_place.h"
#include "app/frame_picture.h"
#include "app/frmGuideLaws.h"
#include "app/frmMain.h"
#include "engine/Globals.h"
#include "guiding/number_format.h"

#include <QLabel>
#include <cmath>

// The engine's new frame, with the reference mark when it is on.
void frmMain::showFrame() {
    picFrame->setImage(engine_.frame().image(), engine_.rawFrame());
}

// A hash-shaped frame 12 pixels wide around the mark, across the whole frame.
void frmMain::drawReferenceMark() {
    const float w = static_cast<float>(state.frameWidth);
    const float h = static_cast<float>(state.frameHeight);
    picFrame->drawLine(state.markX + 6, 0, state.markX + 6, h, Colour::Red);
    picFrame->drawLine(0, state.markY + 6, w, state.markY + 6, Colour::Red);
    picFrame->drawLine(state.markX - 6, 0, state.markX - 6, h, Colour::Red);
    picFrame->drawLine(0, state.markY - 6, w, state.markY - 6, Colour::Red);
}

void frmMain::drawStarCircles(float x, float y) {
    const float cx = std::floor(x);
    const float cy = std::floor(y);
    picFrame->drawCircle(cx, cy, 8, Colour::Red);
    picFrame->drawCircle(cx, cy, Globals::searchRadius, Colour::Red);
}

void frmMain::showError(double raArcsec, double decArcsec) {
    lblDx->setText(formatFixed(raArcsec, 6));
    lblDy->setText(formatFixed(decArcsec, 6));
}

void frmMain::clearErrorLabels() {
    lblDx->setText(QString());
    lblDy->setText(QString());
}

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

// One Guide Law Options window at a time, not modal: guiding goes on while it is open.
void frmMain::mnuGuideLaws_Click() {
    if (!guideLawsDialog) {
        auto* dialog = new frmGuideLaws(engine_, this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        guideLawsDialog = dialog;
        placeDialog(*dialog, *this);
    }
    guideLawsDialog->show();
    guideLawsDialog->raise();
}
