#pragma once

#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/main_window_probe.h"
#include "fakes/fake_platform.h"
#include "fakes/sim_camera.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QPushButton>
#include <memory>

// The main window on fake components with the sky simulator as its camera, exposing on a
// virtual clock, and the built-in telescope chosen through the Telescope menu.
class SimulatedRun {
public:
    explicit SimulatedRun(FakePlatform& fp)
        : sky(SkyOptions{}, clock), camera(sky, fp.store), fp_(fp) {
        registerSimTelescope(telescopes, sky, fp.store);
    }

    // Settings go into the fake store before.
    frmMain& open() {
        Platform platform = fp_.platform();
        platform.capture = &camera;
        platform.telescopes = &telescopes;
        fp_.chooser.answers = {"Orvalis.Simulator"};
        window = std::make_unique<frmMain>(platform);
        window->mnuChooseTelescope->trigger();
        return *window;
    }

    // Runs the timer until the exposure ends and its guide cycle has run.
    void cycle() {
        for (int ticks = 0; ticks < 100; ++ticks) {
            clock->advance(0.5);
            MainWindowProbe::tick(*window);
            if (window->state.elapsedSec == 0)
                return;
        }
    }

    // Lock, then a click on the guide star's true place.
    void lockOnGuideStar() {
        const QPointF star = sky.guideStarPosition();
        window->cmdLock->click();
        emit window->picFrame->mouseUp(1, static_cast<float>(star.x()),
                                       static_cast<float>(star.y()));
    }

    std::shared_ptr<ManualSimClock> clock = std::make_shared<ManualSimClock>(0);
    SkySimulator sky;
    SimCamera camera;
    TelescopeRegistry telescopes;
    std::unique_ptr<frmMain> window;

private:
    FakePlatform& fp_;
};
