#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "mount/pulse_math.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/parport/port_io.h"
#include "platform/sleep/sleeper.h"

namespace {
GuideDirection opposite(GuideDirection d) {
    switch (d) {
    case guideNorth:
        return guideSouth;
    case guideSouth:
        return guideNorth;
    case guideEast:
        return guideWest;
    case guideWest:
    default:
        return guideEast;
    }
}
} // namespace

// The fixed attributes of each guide direction.
struct GuideEngine::Axis {
    GuideDirection direction;
    const char* letter;
    const char* opposite;
    QString* lastDir;
    float backlash;
    uint8_t relayBit;
    const char* autostarPrefix;
    int32_t code;
};

GuideEngine::Axis GuideEngine::axisOf(GuideDirection direction) {
    switch (direction) {
    case guideNorth:
        return {guideNorth,       "N",   "S",           &state.lastDecDir, state.decBacklash,
                state.ppNorthBit, "Mgn", state.dirNorth};
    case guideSouth:
        return {guideSouth,       "S",   "N",           &state.lastDecDir, state.decBacklash,
                state.ppSouthBit, "Mgs", state.dirSouth};
    case guideEast:
        return {guideEast,       "E",   "W",          &state.lastRADir, state.raBacklash,
                state.ppEastBit, "Mge", state.dirEast};
    case guideWest:
    default:
        return {guideWest,       "W",   "E",          &state.lastRADir, state.raBacklash,
                state.ppWestBit, "Mgw", state.dirWest};
    }
}

// One guide pulse of `ms` milliseconds (plus the axis backlash when it reverses direction) on
// the selected output. Returns once issued: a relay pulse after the relay is released again, a
// mount's pulse once the mount has taken it (the exposure loop waits for its end).
bool GuideEngine::pulse(GuideDirection direction, int32_t ms, std::optional<float> backlashMs) {
    const Axis axis = axisOf(direction);
    state.backlashMs =
        backlashFor(*axis.lastDir, axis.opposite, backlashMs.value_or(axis.backlash));
    emit pulsing(axis.direction, true);
    bool sent = false;
    if (state.modeParallel)
        sent = relayPulse(axis.relayBit, relayHoldMs(state.backlashMs, ms));
    if (state.modeAscom && state.telescope)
        sent = telescopePulse(axis, ms) || sent;
    emit pulsing(axis.direction, false);
    *axis.lastDir = axis.letter;
    return sent;
}

bool GuideEngine::relayPulse(uint8_t bit, int32_t holdMs) {
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
bool GuideEngine::telescopePulse(const Axis& axis, int32_t ms) {
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
// and never into a running calibration. The reverse switches apply.
void GuideEngine::nudge(GuideDirection direction, const QString& lengthText) {
    if (calibrating()) {
        note(QStringLiteral("Calibrating: a nudge would spoil the measurement (Stop first)"));
        return;
    }
    if (assisting()) {
        note(QStringLiteral("Guiding Assistant running: a nudge would spoil its figures (Stop "
                            "first)"));
        return;
    }
    const bool toTelescope = state.modeAscom && state.telescope && telescopeConnected();
    if (!toTelescope && !state.modeParallel) {
        note(state.modeAscom ? QStringLiteral("Nudges need a connected telescope")
                             : QStringLiteral("The Serial guide output sends no pulses"));
        return;
    }
    const std::optional<int32_t> ms = nudgeLength(lengthText);
    if (!ms) {
        note(QStringLiteral("Pulse length must be a whole number of milliseconds, 1 to %1")
                 .arg(kMaxNudgeMs));
        return;
    }
    const bool northSouth = direction == guideNorth || direction == guideSouth;
    if (northSouth ? state.reverseNS : state.reverseEW)
        direction = opposite(direction);
    pulse(direction, *ms);
}

// Guiding through a telescope needs it connected; the relay box is always ready.
void GuideEngine::toggleGuide() {
    if (state.focusing)
        return;
    const EngineChange change(*this);
    if (state.guiding) {
        stopGuiding();
        return;
    }
    if (calibrating()) {
        note(QStringLiteral("Calibrating: Guide can start when the calibration has ended"));
        return;
    }
    if (state.modeAscom && state.telescope) {
        if (telescopeConnected())
            startLawGuiding();
        else
            platform_.messages->show(
                QStringLiteral("Guiding cannot be activitated until scope is connected."),
                MessageIcon::Critical);
    }
    if (state.modeParallel)
        startLawGuiding();
    if (state.modeAscom && !state.telescope)
        note(QStringLiteral("Choose a telescope first (Telescope > Choose Telescope...)"));
    else if (state.modeSerial)
        note(QStringLiteral("The Serial guide output sends no corrections"));
    // Guiding ends a guiding assistant run (its results are kept).
    if (state.guiding)
        stopAssistant();
}

// The Guide button's conditions, without its message box: an imaging program is in charge.
bool GuideEngine::startGuiding() {
    const bool ready =
        (state.modeAscom && state.telescope && telescopeConnected()) || state.modeParallel;
    if (!ready || state.focusing)
        return false;
    const EngineChange change(*this);
    startLawGuiding();
    stopAssistant();
    return true;
}

void GuideEngine::stopGuiding() {
    const EngineChange change(*this);
    setGuiding(false);
    if (state.paused)
        setGuidingPaused(false, false);
}

void GuideEngine::startLawGuiding() {
    if (!state.guiding)
        lawsRestart();
    readPointing(true);
    setGuiding(true);
}

void GuideEngine::setGuiding(bool on) {
    if (state.guiding == on)
        return;
    state.guiding = on;
    emit guidingChanged(on);
}
