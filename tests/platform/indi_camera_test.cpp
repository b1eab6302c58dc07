// Against a real indiserver running INDI's CCD simulator (package indi-bin), with a stand-in
// star catalogue (indi_sky/gsc) first on the server's PATH.

#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "fakes/fake_platform.h"
#include "indi_sky.h"
#include "indi_sky_stars.h"
#include "indi_test_server.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/capture/indi_camera.h"
#include "platform/telescope/indi_property.h"
#include "platform/telescope/indi_server_health.h"
#include "printers.h"
#include "server/server_link.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {
// Whether a preview label in the window shows a frame with a star in it within withinMs.
bool showsStars(QWidget& window, int withinMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < withinMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        for (const QLabel* view : window.findChildren<QLabel*>()) {
            const QImage shown = view->pixmap().toImage();
            if (shown.width() < 1280)
                continue;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    if (qGray(shown.pixel(x, y)) > 100)
                        return true;
        }
    }
    return false;
}
} // namespace

// The whole path: listed in the Camera menu, connected at start-up (it was the camera chosen
// last), exposed by the loop for the slider's length, its FITS frame decoded into the picture
// with the stars where the catalogue puts them, and the device switched off again because
// Orvalis switched it on.
TEST(IndiCameraWindow, ListsTheCameraAndPreviewShowsTheCataloguesStars) {
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("gsc.log"));
    IndiTestServer server({QStringLiteral("indi_simulator_ccd")}, catalogueOnPath(log));
    ASSERT_TRUE(server.running()) << server.problem().toStdString();

    FakePlatform fp;
    fp.store.set("INDI Camera Options", "Server",
                 QStringLiteral("localhost:%1").arg(server.port()));
    fp.store.set("Camera Options", "Exposure", "1");
    fp.store.set("Camera Options", "DriverName",
                 "CCD Simulator (INDI)"); // the main chip, chosen before
    SkySimulator sky(SkyOptions{}, std::make_shared<SteadySimClock>());
    QTemporaryDir noWebcams;
    DesktopCaptureDrivers drivers(sky, fp.store, systemV4l2Io(), noWebcams.path());
    Platform platform = fp.platform();
    platform.capture = &drivers;
    SimulatorHand observer(server.port());
    {
        frmMain w(platform);
        ASSERT_EQ(w.mnuDriver.size(), 3);
        EXPECT_EQ(w.mnuDriver[0]->text(), "CCD Simulator (INDI)");
        EXPECT_EQ(w.mnuDriver[1]->text(), "CCD Simulator guide chip (INDI)");
        EXPECT_EQ(w.mnuDriver[2]->text(), "Orvalis Sky Simulator 1.0");
        EXPECT_TRUE(w.mnuDriver[0]->isChecked());
        EXPECT_TRUE(w.mnuFormat->isEnabled());
        EXPECT_TRUE(observer.connectionOn(ccdName, 5000, true));
        // The camera's own focal length: with no mount it then draws the sky at RA 0, Dec 0.
        observer.setNumbers(ccdName, "SCOPE_INFO", {{"FOCAL_LENGTH", 900}, {"APERTURE", 120}});

        w.cmdPreview->click();
        w.sldExposure->setValue(2); // for the exposure after this one
        EXPECT_EQ(MainWindowProbe::tickUntilCycle(w), 2);
        std::shared_ptr<const RawFrame> first = w.rawFrame();
        ASSERT_TRUE(first);
        EXPECT_EQ(w.picFrame->image().size(), QSize(1280, 1024));
        EXPECT_EQ(first->exposureSec, 1);
        EXPECT_GE(checkStars(*first, lastQuery(log), mainChipScale), 5);

        EXPECT_EQ(MainWindowProbe::tickUntilCycle(w), 4);
        ASSERT_TRUE(w.rawFrame());
        EXPECT_NE(w.rawFrame(), first);
        EXPECT_EQ(w.rawFrame()->exposureSec, 2);
        // The picture is the same frame, mapped linearly: a star stands out of the background.
        const Sky query = lastQuery(log);
        int bright = 0;
        for (const QPointF star : query.stars) {
            const QPointF at = expectedPixel(query, star, {1280, 1024}, mainChipScale);
            if (w.picFrame->image().rect().contains(at.toPoint()) &&
                qGray(w.picFrame->image().pixel(at.toPoint())) > 20)
                ++bright;
        }
        EXPECT_GE(bright, 5);
        EXPECT_LT(qGray(w.picFrame->image().pixel(3, 3)), 10);

        // Imaging programs get the device's own name and exposures from 0.1 s; half a second,
        // which the slider cannot show, is exposed as set once the running exposure ends.
        EXPECT_EQ(w.server()->equipment()["camera"].toObject()["name"].toString(), "CCD Simulator");
        EXPECT_EQ(w.server()->exposureDurationsMs().value(0), 100);
        w.setExposureMs(500);
        EXPECT_EQ(MainWindowProbe::tickUntilCycle(w), 4);
        EXPECT_EQ(MainWindowProbe::tickUntilCycle(w), 1);
        ASSERT_TRUE(w.rawFrame());
        EXPECT_EQ(w.rawFrame()->exposureSec, 0.5);

        // Focus streams frames of its own; the preview shows the first that comes.
        w.cmdFocus->click();
        ASSERT_TRUE(w.state.focusing);
        EXPECT_TRUE(showsStars(w, 8000));
    }
    EXPECT_FALSE(observer.connectionOn(ccdName, 5000, false));
}

// A frame that comes late is never taken for a later exposure's; a hung server costs the
// exposure plus the frame allowance, a dead one nothing; a device another client switched on
// stays on.
TEST(IndiCameraPeer, LateFramesAndLostServersNeverPassForNewFrames) {
    IndiTestServer server({QStringLiteral("indi_simulator_ccd")});
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    SimulatorHand observer(server.port());
    observer.switchOn(ccdName);
    IndiCamera camera({QStringLiteral("localhost"), server.port(), ccdName},
                      {3000, 5000, 1500, 1000});
    ASSERT_TRUE(camera.connect()) << camera.error().toStdString();
    EXPECT_EQ(camera.frameSize(), QSize(1280, 1024));

    camera.startExposure(1); // its frame arrives unread
    QThread::msleep(2500);
    camera.startExposure(2);
    std::shared_ptr<const RawFrame> frame;
    EXPECT_GT(millisecondsOf([&] { frame = camera.takeFrame(); }), 1500);
    ASSERT_TRUE(frame) << camera.error().toStdString();
    EXPECT_EQ(frame->exposureSec, 2);

    camera.startExposure(1);
    server.freeze();
    EXPECT_LT(millisecondsOf([&] { frame = camera.takeFrame(); }), 4500);
    EXPECT_FALSE(frame);
    EXPECT_TRUE(camera.error().contains("in time")) << camera.error().toStdString();
    server.thaw(); // the late frame comes now
    camera.startExposure(0.5);
    frame = camera.takeFrame();
    ASSERT_TRUE(frame) << camera.error().toStdString();
    EXPECT_EQ(frame->exposureSec, 0.5);

    camera.disconnect();
    EXPECT_TRUE(observer.connectionOn(ccdName, 1000, true));
    ASSERT_TRUE(camera.connect());
    camera.startExposure(5);
    server.kill();
    EXPECT_LT(millisecondsOf([&] { frame = camera.takeFrame(); }), 2000);
    EXPECT_FALSE(frame);
    EXPECT_TRUE(camera.error().contains("Lost the connection")) << camera.error().toStdString();
}

// A hung server holds the camera for one frame's time-out; from then on exposures and
// connecting fail at once until it answers again, and the camera goes on. A server that was
// killed and started again gets the chip's binning back when the camera connects anew.
TEST(IndiCameraPeer, AHungServerHoldsItOnceAndARestartedOneGetsTheBinningBack) {
    IndiTestServer server({QStringLiteral("indi_simulator_ccd")});
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    const IndiAddress address{QStringLiteral("localhost"), server.port(), ccdName};
    const IndiCameraTimeouts timeouts{3000, 5000, 1500, 1000};
    IndiCamera camera(address, timeouts);
    ASSERT_TRUE(camera.connect()) << camera.error().toStdString();
    camera.startExposure(0.5);
    ASSERT_TRUE(camera.takeFrame()) << camera.error().toStdString();

    // A hold: a call that lasted a frame's allowance, which only a time-out takes.
    int holds = 0;
    const auto counted = [&](const std::function<void()>& call) {
        if (millisecondsOf(call) >= timeouts.frameExtraMs)
            ++holds;
    };
    server.freeze();
    for (int i = 0; i < 4; ++i) {
        counted([&] {
            camera.startExposure(0.5);
            EXPECT_FALSE(camera.takeFrame());
        });
        counted([&] { EXPECT_FALSE(camera.connect()); });
        EXPECT_FALSE(camera.connected());
    }
    EXPECT_EQ(holds, 1);
    EXPECT_EQ(indiServerHealth().timeOuts(address), 1);
    EXPECT_EQ(camera.error(),
              QStringLiteral("The INDI server at localhost:%1 did not answer in time")
                  .arg(server.port()));

    server.thaw();
    QThread::msleep(IndiServerHealth::kProbeGapMs);
    ASSERT_TRUE(camera.connect()) << camera.error().toStdString();
    camera.startExposure(0.5);
    ASSERT_TRUE(camera.takeFrame()) << camera.error().toStdString();

    SimulatorHand hand(server.port());
    hand.setNumbers(ccdName, "CCD_BINNING", {{"HOR_BIN", 2}, {"VER_BIN", 2}});
    camera.client().waitUntil(
        [](const IndiSnapshot& s) {
            const IndiVector* p = s.property(ccdName, QStringLiteral("CCD_BINNING"));
            const IndiElement* e = p ? p->element(QStringLiteral("HOR_BIN")) : nullptr;
            return e && e->value == 2;
        },
        3000);
    EXPECT_EQ(camera.frameSize(), QSize(640, 512));
    server.kill();
    EXPECT_EQ(camera.client().waitUntil([](const IndiSnapshot&) { return false; }, 3000),
              IndiClient::Wait::LinkLost);
    EXPECT_FALSE(camera.connect());
    EXPECT_TRUE(camera.error().startsWith("Cannot reach")) << camera.error().toStdString();
    ASSERT_TRUE(server.restart()) << server.problem().toStdString();
    ASSERT_TRUE(camera.connect()) << camera.error().toStdString();
    EXPECT_EQ(camera.frameSize(), QSize(640, 512));
    camera.startExposure(0.5);
    const std::shared_ptr<const RawFrame> frame = camera.takeFrame();
    ASSERT_TRUE(frame) << camera.error().toStdString();
    EXPECT_EQ(QSize(frame->width, frame->height), QSize(640, 512));
}
