#pragma once

#include "platform/telescope/telescope.h"

#include <functional>

class SettingsStore;
class SkySimulator;
class TelescopeRegistry;

inline const QString kSimTelescopeId = QStringLiteral("Orvalis.Simulator");

// Shows the simulator's settings dialog; returns once it has closed.
using SimTelescopeSetup = std::function<void(SkySimulator& sky, SettingsStore& store)>;

// The built-in telescope: its guide pulses move the sky simulator's star field at once, so the
// simulator camera sees them in the next frame. It understands the four Autostar guide
// commands ("Mgn0500", with or without ':' and '#') as well.
class SimTelescope : public TelescopeDriver {
public:
    SimTelescope(SkySimulator& sky, SettingsStore& store, SimTelescopeSetup setup = {})
        : sky_(sky), store_(store), setup_(std::move(setup)) {}

    bool Connected() override { return connected_; }
    void setConnected(bool connected) override { connected_ = connected; }
    bool CanPulseGuide() override { return true; }
    // Like a real mount, it refuses pulses while not connected.
    void PulseGuide(int direction, double durationMs) override;
    // Its pulses move the star field at once: none is ever still running.
    std::optional<bool> pulseRunning(int) override { return false; }
    // The simulator's declination and pier side once it has been slewed; else unknown.
    std::optional<double> declination() override;
    MountPointing pointing() override;
    void CommandBlind(const QString& command) override;
    // The simulator's own dialog: guide rate, drift, periodic error. Throws without one.
    void SetupDialog() override;

private:
    SkySimulator& sky_;
    SettingsStore& store_;
    SimTelescopeSetup setup_;
    bool connected_ = false;
};

// Lets the registry create the simulated telescope, with `setup` as its settings dialog
// (none: SetupDialog throws).
void registerSimTelescope(TelescopeRegistry& registry, SkySimulator& sky, SettingsStore& store,
                          SimTelescopeSetup setup);
// The same with the simulator's widget dialog; defined with the widgets (orvalis_ui).
void registerSimTelescope(TelescopeRegistry& registry, SkySimulator& sky, SettingsStore& store);
