#pragma once

#include "fakes/fake_platform.h"
#include "platform/capture/capture_driver.h"
#include "platform/capture/sim_capture_driver.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <memory>

// The simulator as the only camera.
class SimCamera : public CaptureDrivers {
public:
    SimCamera(SkySimulator& sky, SettingsStore& store) : sky_(sky), store_(store) {}
    bool description(int index, QString& name, QString& version) override {
        name = simulatorName();
        version = simulatorVersion();
        return index == 0;
    }
    std::unique_ptr<CaptureDriver> create(int index) override {
        return index == 0 ? std::make_unique<SimCaptureDriver>(sky_, store_) : nullptr;
    }

private:
    SkySimulator& sky_;
    SettingsStore& store_;
};

// Fakes for everything but the camera and the telescope, which are the sky simulator's; the
// clock is `clock` (wall time when null).
struct SimRig {
    explicit SimRig(std::shared_ptr<SimClock> clock = nullptr)
        : sky(SkyOptions{}, std::move(clock)), camera(sky, fp.store) {
        registerSimTelescope(telescopes, sky, fp.store);
    }
    Platform platform() {
        Platform p = fp.platform();
        p.capture = &camera;
        p.telescopes = &telescopes;
        return p;
    }
    FakePlatform fp;
    SkySimulator sky;
    SimCamera camera;
    TelescopeRegistry telescopes;
};
