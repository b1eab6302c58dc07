#include "app/button_colour.h"
#include "app/frmMain.h"
#include "platform/dialogs/message_boxes.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

void frmMain::sldAggressiveness_Change() {
    const int percent = sldAggressiveness->value();
    showAggressivenessValue(percent);
    state.aggressiveness = percent / 100.0;
    saveSetting(keys::Aggressiveness.section, keys::Aggressiveness.key, fromWhole(percent));
}

// The slider's position beside its caption, also while it is dragged.
void frmMain::showAggressivenessValue(int percent) {
    lblAggressivenessValue->setText(QStringLiteral("%1%").arg(percent));
}

// Guiding through a telescope needs it connected; the relay box is always ready.
void frmMain::cmdGuide_Click() {
    if (state.focusing)
        return;
    if (state.guiding) {
        setButtonColour(cmdGuide, Colour::Red);
        state.guiding = false;
        if (state.paused)
            setGuidingPaused(false, false);
        return;
    }
    if (calibrating()) {
        note(QStringLiteral("Calibrating: Guide can start when the calibration has ended"));
        return;
    }
    if (state.modeAscom && state.telescope) {
        if (telescopeConnected()) {
            setButtonColour(cmdGuide, Colour::Green);
            state.guiding = true;
        } else {
            platform_.messages->show(
                QStringLiteral("Guiding cannot be activitated until scope is connected."),
                MessageIcon::Critical);
        }
    }
    if (state.modeParallel) {
        setButtonColour(cmdGuide, Colour::Green);
        state.guiding = !state.guiding;
    }
    if (state.modeAscom && !state.telescope)
        note(QStringLiteral("Choose a telescope first (Telescope > Choose Telescope...)"));
    else if (state.modeSerial)
        note(QStringLiteral("The Serial guide output sends no corrections"));
}

void frmMain::setGuidingPaused(bool paused, bool full) {
    const bool heldExposures = state.pausedFull;
    state.paused = paused;
    state.pausedFull = paused && full;
    if (state.guiding)
        setButtonColour(cmdGuide, paused ? Colour::Yellow : Colour::Green);
    if (state.pausedFull && state.previewing)
        HalfSecTimer->stop();
    else if (heldExposures && !state.pausedFull && state.previewing && !state.focusing &&
             !pulseTimer_->isActive())
        HalfSecTimer->start();
}

// The driver's own answer; a driver that fails to answer counts as not connected.
bool frmMain::telescopeConnected() {
    if (!state.telescope)
        return false;
    try {
        return state.telescope->Connected();
    } catch (const std::exception& error) {
        telescopeFailed(QStringLiteral("Telescope"), error);
        return false;
    }
}
