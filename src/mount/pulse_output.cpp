#include "app/Globals.h"
#include "app/button_colour.h"
#include "app/frmMain.h"
#include "mount/pulse_math.h"
#include "platform/parport/port_io.h"
#include "platform/sleep/sleeper.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

// The fixed attributes of each guide direction.
struct frmMain::Axis {
    QPushButton* button;
    const char* letter;
    const char* opposite;
    QString* lastDir;
    float backlash;
    uint8_t relayBit;
    const char* autostarPrefix;
    int32_t code;
};

frmMain::Axis frmMain::axisOf(GuideDirection direction) {
    switch (direction) {
    case guideNorth:
        return {cmdNorth,         "N",   "S",           &state.lastDecDir, state.decBacklash,
                state.ppNorthBit, "Mgn", state.dirNorth};
    case guideSouth:
        return {cmdSouth,         "S",   "N",           &state.lastDecDir, state.decBacklash,
                state.ppSouthBit, "Mgs", state.dirSouth};
    case guideEast:
        return {cmdEast,         "E",   "W",          &state.lastRADir, state.raBacklash,
                state.ppEastBit, "Mge", state.dirEast};
    case guideWest:
    default:
        return {cmdWest,         "W",   "E",          &state.lastRADir, state.raBacklash,
                state.ppWestBit, "Mgw", state.dirWest};
    }
}

// One guide pulse of `ms` milliseconds (plus the axis backlash when it reverses direction) on
// the selected output. Returns once issued: a relay pulse after the relay is released again, a
// mount's pulse once the mount has taken it (the exposure loop waits for its end).
bool frmMain::pulse(GuideDirection direction, int32_t ms) {
    const Axis axis = axisOf(direction);
    state.backlashMs = backlashFor(*axis.lastDir, axis.opposite, axis.backlash);
    setButtonColour(axis.button, Colour::Green);
    axis.button->repaint();
    bool sent = false;
    if (state.modeParallel)
        sent = relayPulse(axis.relayBit, relayHoldMs(state.backlashMs, ms));
    if (state.modeAscom && state.telescope)
        sent = telescopePulse(axis, ms) || sent;
    setButtonColour(axis.button, Colour::Red);
    axis.button->repaint();
    *axis.lastDir = axis.letter;
    return sent;
}

bool frmMain::relayPulse(uint8_t bit, int32_t holdMs) {
    const uint16_t address = Globals::lxPortAddress;
    if (address == 0) {
        if (!relayNoted_)
            note(QStringLiteral("The relay box needs a parallel LX port (Options, Camera tab)"));
        relayNoted_ = true;
        return false;
    }
    portIO_->SetPortBit(address, bit);
    platform_.sleeper->sleepMs(holdMs);
    portIO_->ClrPortBit(address, bit);
    return true;
}

// A driver error ends this pulse only; guiding goes on and the operator sees why. A pulse that
// went out is noted for the exposure loop: the mount reports its end, or (an Autostar command)
// it runs for its length.
bool frmMain::telescopePulse(const Axis& axis, int32_t ms) {
    const double length = static_cast<double>(state.backlashMs) + ms;
    try {
        if (state.autostarPulseGuide)
            state.telescope->CommandBlind(
                autostarCommand(axis.autostarPrefix, state.backlashMs, ms));
        else
            state.telescope->PulseGuide(axis.code, length);
    } catch (const std::exception& error) {
        telescopeFailed(QStringLiteral("Guide pulse %1 failed").arg(QLatin1String(axis.letter)),
                        error);
        return false;
    }
    const bool dec = axis.lastDir == &state.lastDecDir;
    pulseWait_.sent(dec ? PulseAxis::Dec : PulseAxis::RA, length, clock_.elapsed(),
                    !state.autostarPulseGuide);
    return true;
}

// A nudge pulses only where it can reach the mount: a connected telescope or the relay box,
// and never into a running calibration.
void frmMain::nudge(GuideDirection normal, GuideDirection reversed, bool reverse) {
    if (calibrating()) {
        note(QStringLiteral("Calibrating: a nudge would spoil the measurement (Stop first)"));
        return;
    }
    const bool toTelescope = state.modeAscom && state.telescope && telescopeConnected();
    if (!toTelescope && !state.modeParallel) {
        note(state.modeAscom ? QStringLiteral("Nudges need a connected telescope")
                             : QStringLiteral("The Serial guide output sends no pulses"));
        return;
    }
    const std::optional<int32_t> ms = nudgeLength(txtSlewPulseTime->text());
    if (!ms) {
        note(QStringLiteral("Pulse length must be a whole number of milliseconds, 1 to %1")
                 .arg(kMaxNudgeMs));
        return;
    }
    pulse(reverse ? reversed : normal, *ms);
}

void frmMain::cmdNorth_Click() {
    nudge(guideNorth, guideSouth, chkRevNS->isChecked());
}
void frmMain::cmdSouth_Click() {
    nudge(guideSouth, guideNorth, chkRevNS->isChecked());
}
void frmMain::cmdEast_Click() {
    nudge(guideEast, guideWest, chkRevEW->isChecked());
}
void frmMain::cmdWest_Click() {
    nudge(guideWest, guideEast, chkRevEW->isChecked());
}
