#pragma once

// The window on INDI's telescope and CCD simulators under a real indiserver, as the INDI
// guiding tests set it up.

#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/main_window_probe.h"
#include "fakes/fake_platform.h"
#include "indi_sky.h"
#include "indi_test_server.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/capture/raw_frame.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QPoint>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace indi_rig {
// The sidereal rate, arcseconds of right ascension per second.
inline constexpr double siderealRate = 15.041067;

// Points the simulated mount at `decDeg` (a sync) and tracks at `rateOffset` arcsec/s faster
// than the sky, so the field drifts along RA. The simulator forgets this when its server
// restarts (a real mount keeps pointing), so tests of a restart call it again.
inline void pointTheMount(int port, double rateOffset, double decDeg = 30) {
    SimulatorHand hand(port);
    hand.switchOn(mountName);
    hand.setSwitch(mountName, "ON_COORD_SET", "SYNC");
    hand.setNumbers(mountName, "EQUATORIAL_EOD_COORD", {{"RA", 3}, {"DEC", decDeg}});
    hand.setSwitch(mountName, "TELESCOPE_TRACK_STATE", "TRACK_ON");
    hand.setSwitch(mountName, "TELESCOPE_TRACK_MODE", "TRACK_CUSTOM");
    hand.setNumbers(mountName, "TELESCOPE_TRACK_RATE",
                    {{"TRACK_RATE_RA", siderealRate + rateOffset}, {"TRACK_RATE_DE", 0}});
    hand.switchOn(ccdName);
    hand.setNumbers(ccdName, "SIMULATOR_SETTINGS", {{"SIM_TIME_FACTOR", 0.5}});
}

// Moves the simulated mount to (raH, decDeg) at once (a sync), as a finished slew would leave
// it: the simulator sets its pier side from the hour angle there.
inline void syncTheMount(int port, double raH, double decDeg) {
    SimulatorHand hand(port);
    hand.setSwitch(mountName, "ON_COORD_SET", "SYNC");
    hand.setNumbers(mountName, "EQUATORIAL_EOD_COORD", {{"RA", raH}, {"DEC", decDeg}});
}

// indiserver with the telescope and CCD simulators, the stand-in catalogue on its PATH
// logging its queries in `work`.
struct SimulatorServer {
    QTemporaryDir work;
    IndiTestServer server{
        {QStringLiteral("indi_simulator_telescope"), QStringLiteral("indi_simulator_ccd")},
        catalogueOnPath(work.filePath(QStringLiteral("gsc.log")))};
};

// The window on both simulators, its imaging-program server on a free port.
struct IndiRig {
    explicit IndiRig(int serverPort) {
        fp.store.set("INDI Camera Options", "Server",
                     QStringLiteral("localhost:%1").arg(serverPort));
        fp.store.set("Camera Options", "Exposure", "1");
        fp.store.set("Camera Options", "DriverName", "CCD Simulator (INDI)");
        fp.store.set("Camera Options", "HorizontalPixelSize", "5.2");
        fp.store.set("Camera Options", "VerticalPixelSize", "5.2");
        fp.store.set("Guidescope Options", "FocalLength", "900");
        fp.store.set("Guiding Options", "RA Guide Rate", "7.5");
        fp.store.set("Guiding Options", "Dec Guide Rate", "7.5");
        fp.store.set("Guiding Options", "Minumum Correction", "0.5");
        fp.store.set("Guiding Options", "Aggressiveness", "100");
        fp.store.set("Server Options", "Enabled", "1");
        fp.store.set("Server Options", "Port", "0");
        fp.chooser.answers = {
            QStringLiteral("indi://localhost:%1/Telescope%20Simulator").arg(serverPort)};
        registerIndiTelescopes(telescopes);
        // The camera list is read from the settings as the drivers are made.
        drivers = std::make_unique<DesktopCaptureDrivers>(sky, fp.store, systemV4l2Io(),
                                                          noWebcams.path());
        platform = fp.platform();
        platform.capture = drivers.get();
        platform.telescopes = &telescopes;
    }

    FakePlatform fp;
    SkySimulator sky{SkyOptions{}, std::make_shared<SteadySimClock>()};
    QTemporaryDir noWebcams;
    std::unique_ptr<DesktopCaptureDrivers> drivers;
    TelescopeRegistry telescopes;
    Platform platform;
};

// The window takes the chosen telescope, connects it and starts the loop; one frame is in.
inline void connectAndLoop(frmMain& w) {
    w.mnuChooseTelescope->trigger();
    ASSERT_TRUE(w.mnuTelescopeConnected->isChecked());
    w.cmdPreview->click();
    MainWindowProbe::tickUntilCycle(w);
}

// The brightest pixel of the frame's middle, where a guide star is picked.
inline QPoint brightestInTheMiddle(const RawFrame& f) {
    QPoint best;
    int peak = -1;
    for (int y = f.height / 4; y < 3 * f.height / 4; ++y)
        for (int x = f.width / 4; x < 3 * f.width / 4; ++x)
            if (f.at(x, y) > peak) {
                peak = f.at(x, y);
                best = {x, y};
            }
    return best;
}

// A new lock, clicked on the brightest star of the frame's middle.
inline void lockOnTheBrightestStar(frmMain& w) {
    ASSERT_TRUE(w.rawFrame());
    const QPoint star = brightestInTheMiddle(*w.rawFrame());
    if (w.state.locked)
        w.cmdLock->click(); // releases the lock
    w.cmdLock->click();
    emit w.picFrame->mouseUp(1, float(star.x()), float(star.y()));
    ASSERT_TRUE(w.state.locked);
}

} // namespace indi_rig
