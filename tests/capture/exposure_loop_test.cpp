#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "app/picture_pane.h"
#include "app/window_fixture.h"
#include "platform/capture/capture_window.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

using ExposureLoop = WindowTest;
using Probe = MainWindowProbe;

TEST_F(ExposureLoop, OneSecondExposureEndsOnTheSecondTickWithLinesAtRestMeanwhile) {
    fp.store.set("Camera Options", "VX Modified", "1");
    fp.store.set("Camera Options", "HasAdvancedMod", "1");
    frmMain& w = open();
    fp.parallelPort.calls.clear();
    fp.capture.calls.clear();

    w.cmdPreview->click();
    EXPECT_TRUE(w.state.previewing);
    EXPECT_EQ(buttonColour(w.cmdPreview), Colour::Green);
    EXPECT_TRUE(w.HalfSecTimer->isActive());
    EXPECT_EQ(w.state.frameWidth, 640);
    EXPECT_EQ(fp.parallelPort.calls, QStringList({"clr 888 0", "clr 888 1"}));

    Probe::tick(w);
    EXPECT_EQ(fp.capture.calls.filter("grab").size(), 0);
    fp.parallelPort.calls.clear();
    Probe::tick(w);
    // Two grabs (end of exposure, then the cycle's own), rest for the read-out, exposing again.
    EXPECT_EQ(fp.capture.calls.filter("grab").size(), 2);
    EXPECT_EQ(fp.parallelPort.calls,
              QStringList({"set 888 0", "set 888 1", "clr 888 0", "clr 888 1"}));
    EXPECT_EQ(fp.sleeper.sleeps, std::vector<int>{20});
    EXPECT_TRUE(w.HalfSecTimer->isActive());
    EXPECT_EQ(w.state.elapsedSec, 0);
}

TEST_F(ExposureLoop, SliderChangeAppliesFromTheNextExposure) {
    frmMain& w = open();
    fp.capture.calls.clear();
    w.sldExposure->setValue(5);
    w.cmdPreview->click();
    w.sldExposure->setValue(10);
    EXPECT_EQ(w.lblLX->text(), "5");
    EXPECT_EQ(Probe::tickUntilCycle(w), 10);
    EXPECT_EQ(w.lblLX->text(), "10");
    EXPECT_EQ(Probe::tickUntilCycle(w), 20);
    // A camera that exposes on command is told each exposure's length as it starts, and its
    // frame is grabbed only after that.
    const QStringList exposures = fp.capture.calls.filter("expose");
    EXPECT_EQ(exposures, QStringList({"expose 0 5", "expose 0 10", "expose 0 10"}));
    EXPECT_LT(fp.capture.calls.indexOf("expose 0 5"), fp.capture.calls.indexOf("grab 0"));
}

TEST_F(ExposureLoop, StoppingMidExposureRestsTheLinesWithoutAGrab) {
    fp.store.set("Camera Options", "VX Modified", "1");
    frmMain& w = open();
    w.cmdPreview->click();
    Probe::tick(w);
    fp.parallelPort.calls.clear();
    fp.capture.calls.clear();
    w.cmdPreview->click();
    EXPECT_FALSE(w.state.previewing);
    EXPECT_FALSE(w.HalfSecTimer->isActive());
    EXPECT_EQ(buttonColour(w.cmdPreview), Colour::Red);
    EXPECT_EQ(w.ExposureProgress->value(), 0);
    EXPECT_EQ(fp.parallelPort.calls, QStringList{"set 888 0"});
    EXPECT_TRUE(fp.capture.calls.filter("grab").isEmpty());
}

TEST_F(ExposureLoop, UnmodifiedCameraNeverTouchesTheLines) {
    fp.store.set("Camera Options", "Port", "3");
    frmMain& w = open();
    fp.parallelPort.calls.clear();
    fp.serial.calls.clear();
    w.cmdPreview->click();
    Probe::tickUntilCycle(w);
    w.cmdPreview->click();
    EXPECT_TRUE(fp.parallelPort.calls.isEmpty());
    EXPECT_TRUE(fp.serial.calls.isEmpty());
}

TEST_F(ExposureLoop, SerialLinesSwitchTheChosenPin) {
    fp.store.set("Camera Options", "VX Modified", "1");
    fp.store.set("Camera Options", "Port", "3");
    fp.store.set("Camera Options", "LXSerialPin", "DTR");
    frmMain& w = open();
    fp.serial.calls.clear();
    w.cmdPreview->click();
    EXPECT_EQ(fp.serial.calls, QStringList({"DTR 0", "RTS 1"}));
    fp.serial.calls.clear();
    w.cmdPreview->click();
    EXPECT_EQ(fp.serial.calls, QStringList({"DTR 1", "RTS 1"}));

    // A pin that is neither switches nothing while exposing, but rest still sets both.
    fp.store.set("Camera Options", "LXSerialPin", "CTS");
    w.setDefaults();
    fp.serial.calls.clear();
    w.cmdPreview->click();
    EXPECT_TRUE(fp.serial.calls.isEmpty());
    w.cmdPreview->click();
    EXPECT_EQ(fp.serial.calls, QStringList({"DTR 1", "RTS 1"}));
}

TEST_F(ExposureLoop, GuideCycleWithoutTheLoopOnlyStopsTheTimer) {
    frmMain& w = open();
    fp.capture.calls.clear();
    w.HalfSecTimer->start();
    w.PostLX();
    EXPECT_FALSE(w.HalfSecTimer->isActive());
    EXPECT_TRUE(fp.capture.calls.isEmpty());
}

using FocusMode = WindowTest;

TEST_F(FocusMode, SwitchesOffGuidingLockAndLoopThenPreviewsLive) {
    fp.store.set("Guiding Options", "GuideMode", "Parallel");
    frmMain& w = open();
    w.cmdPreview->click();
    w.cmdLock->click();
    w.cmdGuide->click();
    ASSERT_TRUE(w.state.guiding && w.state.lockArmed && w.state.previewing);

    w.cmdFocus->click();
    EXPECT_TRUE(w.state.focusing);
    EXPECT_FALSE(w.state.guiding || w.state.lockArmed || w.state.previewing);
    EXPECT_EQ(buttonColour(w.cmdGuide), Colour::Red);
    EXPECT_EQ(buttonColour(w.cmdLock), Colour::Red);
    EXPECT_EQ(buttonColour(w.cmdPreview), Colour::Red);
    EXPECT_FALSE(w.picFrame->isVisibleTo(&w));
    ASSERT_TRUE(w.state.hFocusWnd);
    EXPECT_TRUE(w.state.hFocusWnd->isVisiblePreview());
    EXPECT_FALSE(w.mnuDriver[0]->isEnabled());
    EXPECT_EQ(fp.capture.open, 1); // the grab window let go of the camera

    // While focusing the loop, lock and guiding stay off.
    w.cmdPreview->click();
    w.cmdLock->click();
    w.cmdGuide->click();
    EXPECT_FALSE(w.state.previewing || w.state.lockArmed || w.state.guiding);

    w.cmdFocus->click();
    EXPECT_FALSE(w.state.focusing);
    EXPECT_TRUE(w.picFrame->isVisibleTo(&w));
    EXPECT_TRUE(w.mnuDriver[0]->isEnabled());
    EXPECT_FALSE(w.state.hFocusWnd);
    EXPECT_EQ(fp.capture.open, 1);
}

// The live preview takes the picture's place; no control moves or lies under it.
TEST_F(FocusMode, ControlsKeepTheirPlaceAndThePreviewCoversOnlyThePicture) {
    frmMain& w = open();
    w.show();
    QApplication::processEvents();
    const QPoint focusAt = w.cmdFocus->mapTo(&w, QPoint(0, 0));
    const QPoint guideAt = w.cmdGuide->mapTo(&w, QPoint(0, 0));
    const QRect picture(w.picFrame->mapTo(&w, QPoint(0, 0)), w.picFrame->size());
    w.cmdFocus->click();
    QApplication::processEvents();
    ASSERT_TRUE(w.state.focusing);
    EXPECT_EQ(w.cmdFocus->mapTo(&w, QPoint(0, 0)), focusAt);
    EXPECT_EQ(w.cmdGuide->mapTo(&w, QPoint(0, 0)), guideAt);
    auto views = w.picPlace->findChildren<QLabel*>();
    views.removeOne(w.picturePane->hint); // the next-step line over the picture
    ASSERT_EQ(views.size(), 1);
    const QRect preview(views.front()->mapTo(&w, QPoint(0, 0)), views.front()->size());
    EXPECT_TRUE(picture.contains(preview)) << preview.x() << "," << preview.y();
    const QRect button(focusAt, w.cmdFocus->size());
    EXPECT_FALSE(preview.intersects(button));
    w.cmdFocus->click();
    QApplication::processEvents();
    EXPECT_FALSE(w.state.focusing);
    EXPECT_EQ(QRect(w.picFrame->mapTo(&w, QPoint(0, 0)), w.picFrame->size()), picture);
}

TEST_F(FocusMode, WithoutADriverTheFocusWindowFailsToConnect) {
    fp.capture.entries.clear();
    frmMain& w = open();
    fp.messages.texts.clear();
    w.cmdFocus->click();
    EXPECT_EQ(fp.messages.texts, QStringList{"Could not connect capture driver"});
    EXPECT_FALSE(w.state.focusing);
    EXPECT_FALSE(w.picFrame->isVisibleTo(&w));
}
