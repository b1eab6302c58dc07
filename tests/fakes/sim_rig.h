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
    // What an imaging program needs: the server on `port` (0: any free one), the built-in
    // telescope chosen, Dec corrected, corrections fine enough (arcsec) to bring a dithered
    // star back within 1.5 px.
    void serveImagingPrograms(const QString& port) {
        FakeStore& store = fp.store;
        store.set("Server Options", "Enabled", "1");
        store.set("Server Options", "Port", port);
        store.set("Telescope Options", "DriverID", "Orvalis.Simulator");
        store.set("Guiding Options", "Dec Correct", "1");
        store.set("Guiding Options", "RA Guide Rate", "15");
        store.set("Guiding Options", "Dec Guide Rate", "15");
        store.set("Guiding Options", "Minumum Correction", "0.5");
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
