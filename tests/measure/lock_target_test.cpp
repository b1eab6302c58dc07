#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "app/star_frame.h"
#include "app/window_fixture.h"
#include "measure/raw_sky.h"
#include "platform/capture/frame_stretch.h"

#include <QLabel>
#include <QPushButton>

class Lock : public WindowTest {
protected:
    frmMain& start() {
        fp.capture.entries[0].frame = frameWithStar(101, 51);
        frmMain& w = open();
        w.transferFrame();
        return w;
    }
    uint32_t lock() const { return buttonColour(window->cmdLock); }
    uint32_t center() const { return buttonColour(window->cmdCenter); }
};

TEST_F(Lock, ArmClickLockAndRelease) {
    frmMain& w = start();
    emit w.picFrame->mouseUp(1, 103, 49); // not armed: nothing
    EXPECT_FALSE(w.state.locked);

    w.cmdLock->click();
    EXPECT_EQ(lock(), Colour::Yellow);
    EXPECT_TRUE(w.state.lockArmed);
    emit w.picFrame->mouseUp(4, 103, 49); // middle button: nothing
    EXPECT_TRUE(w.state.lockArmed);

    emit w.picFrame->mouseUp(1, 103, 49);
    EXPECT_TRUE(w.state.locked);
    EXPECT_FALSE(w.state.lockArmed);
    EXPECT_EQ(lock(), Colour::Green);
    EXPECT_EQ(std::pair(w.state.targetX, w.state.targetY), std::pair(101.0f, 51.0f));

    w.cmdCenter->click();
    EXPECT_EQ(center(), Colour::Green);
    EXPECT_EQ(std::pair(w.state.targetX, w.state.targetY), std::pair(320.0f, 240.0f));

    w.lblDx->setText("1.0");
    w.cmdLock->click();
    EXPECT_EQ(lock(), Colour::Red);
    EXPECT_EQ(center(), Colour::Red);
    EXPECT_FALSE(w.state.locked || w.state.lockArmed);
    EXPECT_EQ(w.lblDx->text(), "");

    w.cmdLock->click(); // a click on empty sky locks onto the origin
    emit w.picFrame->mouseUp(1, 400, 300);
    EXPECT_TRUE(w.state.locked);
    EXPECT_EQ(std::pair(w.state.targetX, w.state.targetY), std::pair(0.0f, 0.0f));
}

// A second Lock while armed cancels without searching; Lock while lost returns to idle and
// keeps Center.
TEST_F(Lock, LockCancelsAnArmedOrLostLock) {
    frmMain& w = start();
    Globals::starX = 7;
    w.cmdLock->click();
    w.cmdLock->click();
    EXPECT_EQ(lock(), Colour::Red);
    EXPECT_FALSE(w.state.lockArmed);
    EXPECT_EQ(Globals::starX, 7);

    w.cmdLock->click();
    emit w.picFrame->mouseUp(1, 101, 51);
    w.cmdCenter->click();
    w.state.lockLost = true;
    setButtonColour(w.cmdLock, Colour::Yellow);
    w.cmdLock->click();
    EXPECT_EQ(lock(), Colour::Red);
    EXPECT_EQ(center(), Colour::Green);
    EXPECT_FALSE(w.state.locked || w.state.lockLost || w.state.lockArmed);
}

TEST_F(Lock, CenterAndLockDoNothingWhileFocusingOrUnlocked) {
    frmMain& w = start();
    w.cmdCenter->click();
    EXPECT_EQ(center(), Colour::Red);
    w.state.focusing = true;
    w.cmdLock->click();
    EXPECT_FALSE(w.state.lockArmed);
    w.state.locked = true;
    w.cmdCenter->click();
    EXPECT_EQ(center(), Colour::Red);
}

TEST_F(Lock, CenterOfAnOddFrameRoundsDownAndNeedsACamera) {
    fp.capture.entries[0].frame = QImage(161, 121, QImage::Format_RGB32);
    frmMain& w = open();
    w.state.locked = true;
    w.cmdCenter->click();
    EXPECT_EQ(std::pair(w.state.targetX, w.state.targetY), std::pair(80.0f, 60.0f));

    w.state.hCapWnd.reset();
    w.state.targetX = 5;
    setButtonColour(w.cmdCenter, Colour::Red);
    w.cmdCenter->click();
    EXPECT_EQ(w.state.targetX, 5);
    EXPECT_EQ(center(), Colour::Red);
}

TEST_F(Lock, RightClicksToggleTheReferenceMark) {
    frmMain& w = start();
    emit w.picFrame->mouseUp(2, 10, 20);
    EXPECT_TRUE(w.state.markShown);
    EXPECT_EQ(std::pair(w.state.markX, w.state.markY), std::pair(10.0f, 20.0f));
    emit w.picFrame->mouseUp(2, 30, 40);
    EXPECT_FALSE(w.state.markShown);
    EXPECT_EQ(w.state.markX, 10);
}

// A camera that gives raw frames (INDI) is measured on them: the lock takes the sub-pixel
// centre, Select Star Automatically the star the stretch put at 255 (the brightest, at half the
// camera's maximum), the guide cycle its error and measures, unsaturated.
TEST_F(Lock, ARawFrameIsMeasuredAtTheCamerasDepth) {
    RawSky field;
    field.width = 640;
    field.height = 480;
    std::mt19937 random(3);
    const auto show = [&](double x, double y) {
        const auto raw =
            std::make_shared<RawFrame>(renderRaw(field,
                                                 {{x, y, amplitudeForPeak(32000, 2.5), 2.5},
                                                  {400.5, 300.5, amplitudeForPeak(8000, 2.5), 2.5}},
                                                 random));
        fp.capture.entries[0].raw = raw;
        fp.capture.entries[0].frame = stretchToPicture(*raw);
    };
    show(101.37, 51.62);
    frmMain& w = open();
    w.cmdPreview->click();
    MainWindowProbe::tickUntilCycle(w);
    ASSERT_TRUE(w.selectStarAutomatically());
    EXPECT_NEAR(w.state.targetX, 101.37, 0.05);
    EXPECT_NEAR(w.state.targetY, 51.62, 0.05);

    w.cmdLock->click();
    w.cmdLock->click();
    emit w.picFrame->mouseUp(1, 103, 50);
    EXPECT_NEAR(w.state.targetX, 101.37, 0.05);
    EXPECT_NEAR(w.state.targetY, 51.62, 0.05);

    show(102.81, 50.94);
    MainWindowProbe::tickUntilCycle(w);
    EXPECT_NEAR(w.state.errX, w.state.targetX - 102.81, 0.05);
    EXPECT_NEAR(w.state.errY, w.state.targetY - 50.94, 0.05);
    const StarMeasures& m = w.guideHistory().last().star;
    EXPECT_TRUE(m.valid);
    EXPECT_FALSE(m.saturated);
    EXPECT_NEAR(m.peak, 32000 - 500, 2000);
}
