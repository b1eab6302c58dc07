#pragma once

#include "fakes/fake_platform.h"
#include "fakes/sim_camera.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <memory>

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
