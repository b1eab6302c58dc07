#include "app/button_colour.h"
#include "app/frmMain.h"

#include <QLineEdit>
#include <QPushButton>

void frmMain::cmdNorth_Click() {
    engine_.nudge(guideNorth, txtSlewPulseTime->text());
}
void frmMain::cmdSouth_Click() {
    engine_.nudge(guideSouth, txtSlewPulseTime->text());
}
void frmMain::cmdEast_Click() {
    engine_.nudge(guideEast, txtSlewPulseTime->text());
}
void frmMain::cmdWest_Click() {
    engine_.nudge(guideWest, txtSlewPulseTime->text());
}

QPushButton* frmMain::nudgeButton(GuideDirection direction) const {
    switch (direction) {
    case guideNorth:
        return cmdNorth;
    case guideSouth:
        return cmdSouth;
    case guideEast:
        return cmdEast;
    case guideWest:
    default:
        return cmdWest;
    }
}

// The direction's button is green while its pulse is under way, painted at once: the pulse may
// keep the thread busy.
void frmMain::showPulse(GuideDirection direction, bool on) {
    QPushButton* button = nudgeButton(direction);
    setButtonColour(button, on ? Colour::Green : Colour::Red);
    button->repaint();
}
