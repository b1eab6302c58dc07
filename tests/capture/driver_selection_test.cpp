#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/window_fixture.h"
#include "capture/driver_restore.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {
QImage gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y) % 256));
    return image;
}

void describe(FakeCaptureDrivers::Entry& entry, const char* name, const char* version) {
    entry.name = QString::fromLatin1(name);
    entry.version = QString::fromLatin1(version);
}
} // namespace

using CameraMenu = WindowTest;

TEST_F(CameraMenu, ListsDriversAsNameAndVersionAndChecksTheConnectedOne) {
    describe(fp.capture.entries[0], "USB Camera", "6.1.0");
    fp.capture.entries[1] = fp.capture.entries[0];
    describe(fp.capture.entries[1], "Orvalis Sky Simulator", "1.0");
    fp.capture.entries[1].caps = {true, false, true, true};
    fp.store.set("Camera Options", "DriverIndex", "1");
    frmMain& w = open();

    EXPECT_EQ(w.state.driverCount, 2);
    ASSERT_EQ(w.mnuDriver.size(), 2);
    EXPECT_EQ(w.mnuDriver[0]->text(), "USB Camera 6.1.0");
    EXPECT_EQ(w.mnuDriver[1]->text(), "Orvalis Sky Simulator 1.0");
    EXPECT_FALSE(w.mnuDriver[0]->isChecked());
    EXPECT_TRUE(w.mnuDriver[1]->isChecked());
    // Dialog entries follow the connected driver's capabilities.
    EXPECT_FALSE(w.mnuSource->isEnabled());
    EXPECT_TRUE(w.mnuFormat->isEnabled());
    EXPECT_TRUE(w.mnuDisplay->isEnabled());
    EXPECT_TRUE(w.mnuOverlay->isEnabled());
    EXPECT_TRUE(fp.messages.texts.isEmpty());

    // Choosing the other driver releases the first: one device open at a time.
    w.mnuDriver[0]->trigger();
    EXPECT_TRUE(w.mnuDriver[0]->isChecked());
    EXPECT_FALSE(w.mnuDriver[1]->isChecked());
    EXPECT_TRUE(w.mnuSource->isEnabled());
    EXPECT_FALSE(w.mnuOverlay->isEnabled());
    EXPECT_EQ(fp.capture.open, 1);
    EXPECT_EQ(fp.store.writesOf("Camera Options", "DriverIndex"), QStringList({"1", "0"}));
}

TEST_F(CameraMenu, SavedIndexBeyondTheListSelectsTheFirstDriver) {
    fp.store.set("Camera Options", "DriverIndex", "5");
    frmMain& w = open();
    EXPECT_EQ(w.state.driverIndex, 0);
    EXPECT_TRUE(w.mnuDriver[0]->isChecked());
    EXPECT_EQ(fp.store.get("Camera Options", "DriverIndex"), "0");
    EXPECT_TRUE(fp.capture.calls.contains("connect 0"));
}

// A user of the sky simulator alone starts with an INDI server running: its camera takes the
// simulator's place in the list, and the simulator is connected at its new place all the same.
TEST_F(CameraMenu, SavedCameraIsFollowedByNameNotIndex) {
    describe(fp.capture.entries[0], "Orvalis Sky Simulator", "1.0");
    open();
    EXPECT_EQ(fp.store.get("Camera Options", "DriverName"), "Orvalis Sky Simulator 1.0");

    window.reset();
    describe(fp.capture.entries[0], "CCD Simulator", "(INDI)");
    fp.capture.entries[1] = fp.capture.entries[0];
    describe(fp.capture.entries[1], "Orvalis Sky Simulator", "1.0");
    fp.capture.calls.clear();
    frmMain& w = open();
    EXPECT_EQ(w.state.driverIndex, 1);
    EXPECT_FALSE(fp.capture.calls.contains("connect 0"))
        << fp.capture.calls.join(' ').toStdString();
    EXPECT_EQ(fp.store.get("Camera Options", "DriverIndex"), "1");
    EXPECT_TRUE(status().contains("new place")) << status().toStdString();
}

// A camera saved by an earlier version under the INDI key alone is still found by its caption;
// when it is gone no other camera is connected in its place.
TEST_F(CameraMenu, SavedCameraThatIsGoneIsNotReplaced) {
    describe(fp.capture.entries[1], "CCD Simulator", "(INDI)");
    describe(fp.capture.entries[2], "Orvalis Sky Simulator", "1.0");
    fp.store.set("Camera Options", "DriverIndex", "2");
    fp.store.set("INDI Camera Options", "Driver", "CCD Simulator (INDI)");
    frmMain& w = open();
    EXPECT_EQ(w.state.driverIndex, 1);
    EXPECT_EQ(fp.store.get("Camera Options", "DriverName"), "CCD Simulator (INDI)");

    window.reset();
    fp.capture.entries.erase(2);
    describe(fp.capture.entries[1], "Orvalis Sky Simulator", "1.0");
    fp.capture.calls.clear();
    open();
    EXPECT_FALSE(fp.capture.calls.join(' ').contains("connect"))
        << fp.capture.calls.join(' ').toStdString();
    EXPECT_TRUE(status().contains("not available")) << status().toStdString();
    EXPECT_EQ(fp.store.get("Camera Options", "DriverName"), "CCD Simulator (INDI)");
}

TEST(DriverRestore, ConnectsTheSavedCameraOrNone) {
    const QStringList three = {"Webcam 1.0", "CCD Simulator (INDI)", "Sky 1.0"};
    const QStringList indiFirst = {"CCD Simulator (INDI)", "Sky 1.0"};
    const struct {
        QStringList captions;
        int saved;
        const char* name;
        int index;
        const char* note; // part of it; "" none
    } cases[] = {
        {three, 2, "Sky 1.0", 2, ""},
        {three, 0, "Sky 1.0", 2, "new place"},
        {three, 1, "CCD Simulator (INDI)", 1, ""},
        {three, 0, "Gone Cam 1.0", -1, "\"Gone Cam 1.0\" is not available"},
        {three, 7, "Gone Cam 1.0", -1, "not available"},
        // Without a name: the index, but never an INDI camera nobody chose.
        {three, 0, "", 0, ""},
        {three, 7, "", 7, ""},
        {three, 1, "", 2, "\"Sky 1.0\" connected"},
        {indiFirst, 0, "", 1, "only once chosen"},
        {indiFirst, 5, "", 1, "only once chosen"},
        {{"CCD Simulator (INDI)"}, 0, "", -1, "No camera connected"},
        {{}, 3, "Sky 1.0", 3, ""},
    };
    for (const auto& c : cases) {
        const DriverRestore r = restoreDriverIndex(c.captions, c.saved, c.name);
        EXPECT_EQ(r.index, c.index) << c.saved << " " << c.name;
        if (*c.note)
            EXPECT_TRUE(r.note.contains(c.note)) << r.note.toStdString();
        else
            EXPECT_TRUE(r.note.isEmpty()) << r.note.toStdString();
    }
}

TEST_F(CameraMenu, NoDriverAtAllReportsTwiceAndTheNoneEntryRepeatsTheSecond) {
    fp.capture.entries.clear();
    frmMain& w = open();
    EXPECT_EQ(fp.messages.texts,
              QStringList({"No capture hardware detected", "Could not connect capture driver"}));
    EXPECT_EQ(fp.messages.icons,
              std::vector<MessageIcon>({MessageIcon::Critical, MessageIcon::Critical}));
    EXPECT_EQ(w.state.driverCount, 0);
    EXPECT_EQ(w.mnuDriver[0]->text(), "<none>");
    EXPECT_TRUE(fp.store.writesOf("Camera Options", "DriverIndex").isEmpty());

    w.mnuDriver[0]->trigger();
    EXPECT_EQ(fp.messages.texts.size(), 3);
    EXPECT_EQ(fp.messages.texts.last(), "Could not connect capture driver");
}

TEST_F(CameraMenu, FailedConnectionStopsTheLoopDisplayAndKeepsTheSavedIndex) {
    fp.capture.entries[1] = fp.capture.entries[0];
    fp.capture.entries[1].failConnect = true;
    frmMain& w = open();
    w.state.previewing = true;
    setButtonColour(w.cmdPreview, Colour::Green);
    w.HalfSecTimer->start();
    w.sldExposure->setValue(4);
    w.state.previewing = true;
    w.lblLX->setText("9");

    w.mnuDriver[1]->trigger();
    EXPECT_FALSE(w.state.previewing);
    EXPECT_EQ(buttonColour(w.cmdPreview), Colour::Red);
    EXPECT_FALSE(w.HalfSecTimer->isActive());
    EXPECT_EQ(w.lblLX->text(), "4");
    EXPECT_EQ(fp.messages.texts, QStringList{"Could not connect capture driver"});
    EXPECT_EQ(fp.store.writesOf("Camera Options", "DriverIndex"), QStringList{"0"});
    EXPECT_TRUE(status().contains("camera unplugged")) << status().toStdString();
    EXPECT_EQ(fp.capture.open, 0);
}

TEST_F(CameraMenu, FormatChangeOfSizeDropsTheReferenceMark) {
    fp.capture.entries[0].frame = gradient(640, 480);
    frmMain& w = open();
    w.state.frameWidth = 640;
    w.state.frameHeight = 480;
    w.state.markShown = true;

    w.mnuFormat->trigger();
    EXPECT_TRUE(w.state.markShown);

    fp.capture.entries[0].formatTo = QSize(320, 240);
    w.mnuFormat->trigger();
    EXPECT_FALSE(w.state.markShown);
    EXPECT_EQ(w.state.frameWidth, 320);
    EXPECT_EQ(w.state.frameHeight, 240);

    w.mnuSource->trigger();
    EXPECT_EQ(fp.capture.calls.filter("source").size(), 1);
}

using FrameTransfer = WindowTest;

TEST_F(FrameTransfer, GrabbedFrameLandsPixelExactInThePicture) {
    const QImage frame = gradient(640, 480);
    fp.capture.entries[0].frame = frame;
    frmMain& w = open();
    w.transferFrame();
    ASSERT_EQ(w.picFrame->image().size(), frame.size());
    for (int y : {0, 17, 479})
        for (int x : {0, 255, 639})
            EXPECT_EQ(w.picFrame->image().pixel(x, y), frame.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(w.picFrame->Point(255.0f, 17.9f), 255 | (17 << 8) | (((255 * 7 + 17) % 256) << 16));
}

TEST_F(FrameTransfer, FailedGrabGivesABlackFrameOfTheLastSize) {
    fp.capture.entries[0].frame = gradient(320, 240);
    frmMain& w = open();
    w.transferFrame();
    fp.capture.entries[0].failGrab = true;
    w.transferFrame();
    EXPECT_EQ(w.picFrame->image().size(), QSize(320, 240));
    EXPECT_EQ(w.picFrame->Point(160, 120), 0);
    EXPECT_EQ(w.picFrame->Point(5, 230), 0);
}
