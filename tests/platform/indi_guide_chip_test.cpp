// The guide chip of INDI's CCD simulator (500 x 290 px of 9.8 x 12.6 um) as a camera of its own,
// against a real indiserver with the stand-in star catalogue (indi_sky/gsc) on its PATH.

#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "fakes/fake_platform.h"
#include "indi_sky.h"
#include "indi_sky_stars.h"
#include "indi_test_server.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/capture/indi_camera.h"
#include "platform/capture/indi_camera_list.h"
#include "platform/telescope/indi_property_panel.h"
#include "printers.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
const QString guiderName = QStringLiteral("Guide Simulator"); // a camera without a guide chip
const QSize guideChipSize(500, 290);
// Generous, for a loaded machine; the program itself allows indiListMs.
constexpr int listingMs = 8000;

QStringList namesOf(const IndiCameraListing& listing) {
    QStringList names;
    for (const IndiCameraEntry& e : listing.entries)
        names.append(indiCameraEntryName(e));
    return names;
}

IndiAddress deviceAt(int port, const QString& device) {
    return {QStringLiteral("localhost"), port, device};
}

// The properties the Format dialog opened by `format` shows, sorted; the dialog is closed.
QStringList formatDialogProperties(QAction& format) {
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const IndiPropertyPanel* panel : dialog->findChildren<IndiPropertyPanel*>())
            shown.append(panel->objectName());
        dialog->reject();
    });
    format.trigger();
    shown.sort();
    return shown;
}

// Pixels at least `above` ADU over the noise-only sky's 0..9, with no brighter neighbour.
int peaksOf(const RawFrame& f, int above = 100) {
    int peaks = 0;
    for (int y = 1; y + 1 < f.height; ++y)
        for (int x = 1; x + 1 < f.width; ++x) {
            const int v = f.at(x, y);
            bool highest = v > above;
            for (int dy = -1; dy <= 1 && highest; ++dy)
                for (int dx = -1; dx <= 1 && highest; ++dx)
                    highest = (dx == 0 && dy == 0) || f.at(x + dx, y + dy) < v;
            peaks += highest;
        }
    return peaks;
}
} // namespace

// A camera no client has connected is switched on only to look for a guide chip and off again;
// one another client has connected stays on. Cameras without a guide chip are listed once.
TEST(IndiGuideChipListing, ListsGuideChipsAfterTheMainChipsAndLeavesConnectionsAsTheyWere) {
    IndiTestServer server(
        {QStringLiteral("indi_simulator_ccd"), QStringLiteral("indi_simulator_guide")});
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    SimulatorHand observer(server.port());
    const QStringList expected{"CCD Simulator", "Guide Simulator", "CCD Simulator guide chip"};

    IndiCameraListing listing = listIndiCameraEntries(deviceAt(server.port(), {}), listingMs);
    EXPECT_EQ(namesOf(listing), expected);
    EXPECT_TRUE(listing.notes.isEmpty()) << listing.notes.join("; ").toStdString();
    EXPECT_FALSE(observer.connectionOn(ccdName, 3000, false));
    EXPECT_FALSE(observer.connectionOn(guiderName, 3000, false));

    observer.switchOn(ccdName);
    listing = listIndiCameraEntries(deviceAt(server.port(), {}), listingMs);
    EXPECT_EQ(namesOf(listing), expected);
    EXPECT_TRUE(observer.connectionOn(ccdName, 1000, true));
    EXPECT_FALSE(observer.connectionOn(guiderName, 3000, false));
}

// Each chip exposes for its own length and delivers its own 16-bit frame with the catalogue's
// stars, also while the other chip exposes on a link of its own.
TEST(IndiGuideChipCamera, ExposesBesideTheMainChipAndOnlyWhereThereIsOne) {
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("gsc.log"));
    IndiTestServer server(
        {QStringLiteral("indi_simulator_ccd"), QStringLiteral("indi_simulator_guide")},
        catalogueOnPath(log));
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    SimulatorHand observer(server.port());

    IndiCamera guide(deviceAt(server.port(), ccdName), {}, IndiChipChoice::Guide);
    ASSERT_TRUE(guide.connect()) << guide.error().toStdString();
    EXPECT_EQ(guide.frameSize(), guideChipSize);
    // The camera's own focal length: with no mount it then draws the sky at RA 0, Dec 0.
    observer.setNumbers(ccdName, "SCOPE_INFO", {{"FOCAL_LENGTH", 900}, {"APERTURE", 120}});
    guide.startExposure(1);
    std::shared_ptr<const RawFrame> frame = guide.takeFrame();
    ASSERT_TRUE(frame) << guide.error().toStdString();
    EXPECT_EQ(QSize(frame->width, frame->height), guideChipSize);
    EXPECT_EQ(frame->bitDepth, 16);
    EXPECT_EQ(frame->exposureSec, 1);
    EXPECT_GE(checkStars(*frame, lastQuery(log), guideChipScale), 3);

    IndiCamera main(deviceAt(server.port(), ccdName));
    ASSERT_TRUE(main.connect()) << main.error().toStdString();
    EXPECT_EQ(main.frameSize(), QSize(1280, 1024));
    main.startExposure(2);
    guide.startExposure(0.5);
    std::shared_ptr<const RawFrame> guideFrame = guide.takeFrame();
    std::shared_ptr<const RawFrame> mainFrame = main.takeFrame();
    ASSERT_TRUE(guideFrame) << guide.error().toStdString();
    ASSERT_TRUE(mainFrame) << main.error().toStdString();
    EXPECT_EQ(QSize(guideFrame->width, guideFrame->height), guideChipSize);
    EXPECT_EQ(guideFrame->exposureSec, 0.5);
    EXPECT_GE(peaksOf(*guideFrame), 3);
    EXPECT_EQ(QSize(mainFrame->width, mainFrame->height), QSize(1280, 1024));
    EXPECT_EQ(mainFrame->exposureSec, 2);
    EXPECT_GE(peaksOf(*mainFrame), 5);

    IndiCamera none(deviceAt(server.port(), guiderName), {}, IndiChipChoice::Guide);
    EXPECT_FALSE(none.connect());
    EXPECT_TRUE(none.error().contains("offers no guide chip")) << none.error().toStdString();
    EXPECT_FALSE(observer.connectionOn(guiderName, 3000, false));
}

// Chosen in the Camera menu, the guide chip is saved, connected again at the next start, shapes
// its own frame in Format... and previews its own frames; the raw frame is the chip's 16-bit
// one.
TEST(IndiGuideChipWindow, ChosenGuideChipIsRestoredAtStartAndPreviewsItsFrames) {
    QTemporaryDir work;
    const QString log = work.filePath(QStringLiteral("gsc.log"));
    IndiTestServer server({QStringLiteral("indi_simulator_ccd")}, catalogueOnPath(log));
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    SimulatorHand observer(server.port());
    FakePlatform fp;
    fp.store.set("INDI Camera Options", "Server",
                 QStringLiteral("localhost:%1").arg(server.port()));
    fp.store.set("Camera Options", "Exposure", "1");
    SkySimulator sky(SkyOptions{}, std::make_shared<SteadySimClock>());
    QTemporaryDir noWebcams;
    Platform platform = fp.platform();
    {
        DesktopCaptureDrivers drivers(sky, fp.store, systemV4l2Io(), noWebcams.path());
        platform.capture = &drivers;
        frmMain w(platform);
        ASSERT_EQ(w.mnuDriver.size(), 3);
        ASSERT_EQ(w.mnuDriver[1]->text(), "CCD Simulator guide chip (INDI)");
        w.mnuDriver[1]->trigger();
        EXPECT_TRUE(w.mnuDriver[1]->isChecked());
        EXPECT_FALSE(w.mnuDriver[0]->isChecked());
    }
    EXPECT_EQ(fp.store.get("Camera Options", "DriverIndex"), "1");
    EXPECT_EQ(fp.store.get("Camera Options", "DriverName"), "CCD Simulator guide chip (INDI)");
    EXPECT_FALSE(observer.connectionOn(ccdName, 3000, false));

    DesktopCaptureDrivers drivers(sky, fp.store, systemV4l2Io(), noWebcams.path());
    platform.capture = &drivers;
    frmMain w(platform);
    ASSERT_EQ(w.mnuDriver.size(), 3);
    EXPECT_TRUE(w.mnuDriver[1]->isChecked());
    EXPECT_EQ(formatDialogProperties(*w.mnuFormat),
              (QStringList{"CCD_TRANSFER_FORMAT", "GUIDER_BINNING", "GUIDER_FRAME",
                           "GUIDER_FRAME_TYPE"}));
    observer.setNumbers(ccdName, "SCOPE_INFO", {{"FOCAL_LENGTH", 900}, {"APERTURE", 120}});
    w.cmdPreview->click();
    EXPECT_EQ(MainWindowProbe::tickUntilCycle(w), 2);
    std::shared_ptr<const RawFrame> raw = w.rawFrame();
    ASSERT_TRUE(raw);
    EXPECT_EQ(QSize(raw->width, raw->height), guideChipSize);
    EXPECT_EQ(raw->bitDepth, 16);
    EXPECT_EQ(w.picFrame->image().size(), guideChipSize);
    EXPECT_GE(checkStars(*raw, lastQuery(log), guideChipScale), 3);
}
