#include "app/frame_picture.h"
#include "app/screen_fixture.h"
#include "app/star_frame.h"

#include <QAction>
#include <QPushButton>
#include <QTest>

namespace {
// A click of the pointer on the window at `frame` (frame pixels): Qt routes it to whatever
// widget lies there, as it does the X server's.
void clickAt(frmMain& w, QPointF frame, Qt::MouseButton button) {
    const QPoint view = w.picFrame->mapping().toView(frame).toPoint();
    QTest::mouseClick(w.windowHandle(), button, Qt::NoModifier, w.picFrame->mapTo(&w, view));
}

// Lock armed, a left click at `frame`; the lock's target.
QPointF lockByClickAt(frmMain& w, QPointF frame) {
    if (w.state.locked)
        w.cmdLock->click();
    w.cmdLock->click();
    clickAt(w, frame, Qt::LeftButton);
    return {w.state.targetX, w.state.targetY};
}

// The star search reads the frame: a click on the same frame pixel locks the same star at
// any zoom and wherever the frame was panned to; the reference mark lands on the frame pixel
// clicked. Pixels are chosen within the smallest picture the window has (about 300 x 460).
void expectZoomKeepsTheClickedPixel(frmMain& w) {
    w.transferFrame();
    w.mnuZoom100->trigger();
    w.picFrame->scrollTo({40, 0});
    const QPointF at100 = lockByClickAt(w, {102.4, 50.6});
    ASSERT_NEAR(at100.x(), 101, 1);
    ASSERT_NEAR(at100.y(), 51, 1);
    w.mnuZoom200->trigger();
    w.picFrame->scrollTo({150, 40});
    ASSERT_EQ(w.picFrame->mapping().offset(), QPointF(-150, -40));
    EXPECT_EQ(lockByClickAt(w, {102.4, 50.6}), at100);
    clickAt(w, {200.5, 150.5}, Qt::RightButton);
    EXPECT_EQ(std::pair(w.state.markX, w.state.markY), std::pair(200.5f, 150.5f));
}
} // namespace

TEST_F(Screen1280x800, ClickAtTwoHundredPercentLocksTheSameStarAsAtOneHundred) {
    fp.capture.entries[0].frame = frameWithStar(101, 51);
    expectZoomKeepsTheClickedPixel(openShown());
}

// The smallest screen leaves the picture least room.
TEST_F(Screen1024x600, ClickAtTwoHundredPercentLocksTheSameStarAsAtOneHundred) {
    fp.capture.entries[0].frame = frameWithStar(101, 51);
    expectZoomKeepsTheClickedPixel(openShown());
}
