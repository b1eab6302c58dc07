#pragma once

#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/main_window_probe.h"
#include "bench_util.h"
#include "engine/Globals.h"
#include "fakes/fake_platform.h"
#include "fakes/sim_camera.h"
#include "platform/capture/sim_capture_driver.h"
#include "platform/telescope/sim_telescope.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QPushButton>
#include <memory>
#include <utility>
#include <vector>

// The sky simulator as the only camera. Every grab is timed, so a caller can tell the
// simulator's render (a real camera hands over a buffer instead) from the program's own work.
class TimedSimCamera : public SimCamera {
public:
    using SimCamera::SimCamera;
    std::unique_ptr<CaptureDriver> create(int index) override {
        return index == 0 ? std::make_unique<Driver>(*this) : nullptr;
    }

    // Render time of the last frame and of all frames, ms.
    double lastGrabMs = 0;
    double totalGrabMs = 0;
    long grabs = 0;
    void addRender(double ms) {
        lastGrabMs = ms;
        totalGrabMs += ms;
        ++grabs;
    }

private:
    class Driver : public SimCaptureDriver {
    public:
        explicit Driver(TimedSimCamera& camera)
            : SimCaptureDriver(camera.sky_, camera.store_), camera_(camera) {}
        // The simulator renders only here (its grab() develops at once).
        void develop(QImage& frame) override {
            const auto start = std::chrono::steady_clock::now();
            SimCaptureDriver::develop(frame);
            camera_.addRender(millisecondsSince(start));
        }

    private:
        TimedSimCamera& camera_;
    };
};

// A main window on fake platform components (its sleeper waits no real time) that takes its
// frames from the sky simulator and guides through the simulated telescope, which moves the
// simulated sky. Settings go into `store` before open().
class SimSession {
public:
    explicit SimSession(const SkyOptions& options, std::shared_ptr<SimClock> clock = nullptr)
        : sky(options, std::move(clock)), camera(sky, fp.store) {
        Globals::starX = Globals::starY = 0;
        fp.store.set("Guiding Options", "RA Guide Rate", QString::number(options.guideRate));
        fp.store.set("Guiding Options", "Dec Guide Rate", QString::number(options.guideRate));
    }

    frmMain& open() {
        Platform platform = fp.platform();
        platform.capture = &camera;
        window = std::make_unique<frmMain>(platform);
        auto scope = std::make_unique<SimTelescope>(sky, fp.store);
        scope->setConnected(true);
        window->state.telescope = std::move(scope);
        return *window;
    }

    // Arms the lock and clicks on the guide star's true place in the frame on show; true when
    // the window then holds a lock.
    bool lockOnGuideStar() {
        const QPointF star = sky.guideStarPosition();
        window->cmdLock->click();
        emit window->picFrame->mouseUp(1, static_cast<float>(star.x()),
                                       static_cast<float>(star.y()));
        return window->state.locked;
    }

    FakePlatform fp;
    SkySimulator sky;
    TimedSimCamera camera;
    std::unique_ptr<frmMain> window;
};

// Runs one exposure on the virtual clock, `step` seconds per timer tick; returns the time
// (ms) of the tick that ended it and ran the guide cycle, or -1 when none did.
inline double runExposure(frmMain& w, ManualSimClock& clock, double step = 0.5) {
    for (int ticks = 0; ticks < 100; ++ticks) {
        clock.advance(step);
        const auto start = std::chrono::steady_clock::now();
        MainWindowProbe::tick(w);
        const double ms = millisecondsSince(start);
        if (w.state.elapsedSec == 0)
            return ms;
    }
    return -1;
}

// Preview, one exposure (on `clock` when given, else on the window's own ticks), Lock on the
// guide star, Guide; true when the window then guides.
inline bool startGuiding(SimSession& s, ManualSimClock* clock) {
    frmMain& w = *s.window;
    w.cmdPreview->click();
    if (clock)
        runExposure(w, *clock);
    else
        MainWindowProbe::tickUntilCycle(w);
    if (!s.lockOnGuideStar())
        return false;
    w.cmdGuide->click();
    return w.state.guiding;
}
