#include "app/button_colour.h"
#include "app/frmMain.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>

void frmMain::sldAggressiveness_Change() {
    const int percent = sldAggressiveness->value();
    showAggressivenessValue(percent);
    engine_.setAggressiveness(percent);
}

// The slider's position beside its caption, also while it is dragged.
void frmMain::showAggressivenessValue(int percent) {
    lblAggressivenessValue->setText(QStringLiteral("%1%").arg(percent));
}

void frmMain::cmdGuide_Click() {
    engine_.toggleGuide();
}

void frmMain::chkLogErrors_Click() {
    engine_.setLogging(chkLogErrors->isChecked());
}

void frmMain::mnuAscom_Click() {
    engine_.selectGuideOutput(QStringLiteral("ASCOM"));
}
void frmMain::mnuParallel_Click() {
    engine_.selectGuideOutput(QStringLiteral("Parallel"));
}
void frmMain::mnuSerial_Click() {
    engine_.selectGuideOutput(QStringLiteral("Serial"));
}

void frmMain::chkRevNS_Click() {
    engine_.setReverse(true, chkRevNS->isChecked());
}

void frmMain::chkRevEW_Click() {
    engine_.setReverse(false, chkRevEW->isChecked());
}

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
