#pragma once

#include "platform/telescope/telescope.h"

class SettingsStore;
class SkySimulator;
class TelescopeRegistry;

inline const QString kSimTelescopeId = QStringLiteral("Orvalis.Simulator");

// The built-in telescope: its guide pulses move the sky simulator's star field at once, so the
// simulator camera sees them in the next frame. It understands the four Autostar guide
// commands ("Mgn0500", with or without ':' and '#') as well.
class SimTelescope : public TelescopeDriver {
public:
    SimTelescope(SkySimulator& sky, SettingsStore& store) : sky_(sky), store_(store) {}

    bool Connected() override { return connected_; }
    void setConnected(bool connected) override { connected_ = connected; }
    bool CanPulseGuide() override { return true; }
    // Like a real mount, it refuses pulses while not connected.
    void PulseGuide(int direction, double durationMs) override;
    // Its pulses move the star field at once: none is ever still running.
    std::optional<bool> pulseRunning(int) override { return false; }
    void CommandBlind(const QString& command) override;
    // The simulator's own dialog: guide rate, drift, periodic error.
    void SetupDialog() override;

private:
    SkySimulator& sky_;
    SettingsStore& store_;
    bool connected_ = false;
};

void registerSimTelescope(TelescopeRegistry& registry, SkySimulator& sky, SettingsStore& store);
