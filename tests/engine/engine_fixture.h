#pragma once

#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "fakes/fake_core_platform.h"
#include "fakes/plain_sim_camera.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <cmath>
#include <gtest/gtest.h>

// The engine alone, with no window: the sky simulator as its camera on a virtual clock, the
// built-in telescope, the other components fakes.
class EngineTest : public ::testing::Test {
protected:
    EngineTest() : sky(SkyOptions{}, clock), camera(sky, fp.store) {
        registerSimTelescope(telescopes, sky, fp.store, SimTelescopeSetup{});
        Globals::starX = Globals::starY = 0;
        fp.store.set("Guiding Options", "Dec Correct", "1");
        fp.store.set("Guiding Options", "RA Guide Rate", "15");
        fp.store.set("Guiding Options", "Dec Guide Rate", "15");
    }
    GuideEngine& open() {
        Platform platform = fp.platform();
        platform.capture = capture;
        platform.telescopes = &telescopes;
        engine = std::make_unique<GuideEngine>(platform);
        engine->loadSettings(true);
        engine->startUp();
        engine->chooseTelescope(QStringLiteral("Orvalis.Simulator"));
        return *engine;
    }
    // Ticks until the exposure has ended and its guide cycle has run.
    void cycle() {
        for (int ticks = 0; ticks < 100; ++ticks) {
            clock->advance(0.5);
            engine->tick();
            if (engine->state.elapsedSec == 0)
                return;
        }
        FAIL() << "no cycle within 100 ticks";
    }
    // The larger of the RA and Dec errors, arcsec: each axis has its own dead band.
    double error() const {
        const MainState& s = engine->state;
        return std::max(std::abs(s.errX * s.arcsecPerPixelX), std::abs(s.errY * s.arcsecPerPixelY));
    }

    FakeCorePlatform fp;
    std::shared_ptr<ManualSimClock> clock = std::make_shared<ManualSimClock>(0);
    SkySimulator sky;
    PlainSimCamera camera;
    // The camera open() hands the engine.
    CaptureDrivers* capture = &camera;
    TelescopeRegistry telescopes;
    std::unique_ptr<GuideEngine> engine;
};
