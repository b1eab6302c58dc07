#include "app/frame_picture.h"
#include "app/star_frame.h"
#include "app/stretch_window.h"
#include "app/window_fixture.h"
#include "platform/capture/raw_frame.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSlider>
#include <QWheelEvent>

namespace {
void release(QWidget* w, QPointF at, Qt::MouseButton button) {
    QMouseEvent up(QEvent::MouseButtonRelease, at, w->mapToGlobal(at), button, Qt::NoButton,
                   Qt::NoModifier);
    QApplication::sendEvent(w, &up);
}

void press(QWidget* w, QPointF at, Qt::MouseButton button) {
    QMouseEvent down(QEvent::MouseButtonPress, at, w->mapToGlobal(at), button, button,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &down);
}

void moveTo(QWidget* w, QPointF at, Qt::MouseButtons held) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

void wheel(QWidget* w, QPointF at, int notches) {
    QWheelEvent turn(at, w->mapToGlobal(at), QPoint(), QPoint(0, 120 * notches), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &turn);
}
} // namespace

class PictureView : public WindowTest {
protected:
    frmMain& start(const QImage& frame = frameWithStar(101, 51)) {
        fp.capture.entries[0].frame = frame;
        frmMain& w = open();
        w.show();
        QApplication::processEvents();
        w.transferFrame();
        return w;
    }
    // Lock armed, a left click at `frame` (frame pixels) through the view; the lock's target.
    QPointF lockByClickAt(frmMain& w, QPointF frame) {
        if (w.state.locked)
            w.cmdLock->click();
        w.cmdLock->click();
        release(w.picFrame, w.picFrame->mapping().toView(frame), Qt::LeftButton);
        return {w.state.targetX, w.state.targetY};
    }
};

TEST_F(PictureView, ViewMenuOffersTheZoomsAndTheStretch) {
    frmMain& w = start();
    QStringList items;
    for (QAction* a : w.mnuView->actions())
        if (!a->isSeparator())
            items.append(a->text());
    EXPECT_EQ(items, QStringList({"Zoom to Fit", "Zoom 100%", "Zoom 200%", "Display Stretch...",
                                  "Night Mode"}));
    EXPECT_TRUE(w.mnuZoomFit->isChecked());
    w.mnuZoom200->trigger();
    EXPECT_EQ(w.picFrame->mapping().scale(), 2.0);
    EXPECT_TRUE(w.mnuZoom200->isChecked());
    EXPECT_FALSE(w.mnuZoomFit->isChecked());
    EXPECT_EQ(fp.store.writesOf("View Options", "Zoom"), QStringList{"200"});
    w.mnuZoomFit->trigger();
    EXPECT_TRUE(w.picFrame->mapping().fitting());
    EXPECT_EQ(fp.store.writesOf("View Options", "Zoom"), QStringList({"200", "Fit"}));
}

TEST_F(PictureView, WheelZoomsAboutThePointerAndIsKept) {
    frmMain& w = start();
    const QPointF pointer(60, 40);
    const QPointF under = w.picFrame->mapping().toFrame(pointer);
    const double fitted = w.picFrame->mapping().scale();
    wheel(w.picFrame, pointer, 2);
    EXPECT_NEAR(w.picFrame->mapping().scale(), fitted * 1.25 * 1.25, 1e-9);
    EXPECT_FALSE(w.picFrame->mapping().fitting());
    EXPECT_NEAR(w.picFrame->mapping().toFrame(pointer).x(), under.x(), 1e-6);
    EXPECT_FALSE(w.mnuZoomFit->isChecked() || w.mnuZoom100->isChecked());
    EXPECT_EQ(fp.store.writesOf("View Options", "Zoom").size(), 1);
}

TEST_F(PictureView, StoredZoomIsRestored) {
    fp.store.set("View Options", "Zoom", "200");
    frmMain& w = start();
    EXPECT_EQ(w.picFrame->mapping().scale(), 2.0);
    EXPECT_TRUE(w.mnuZoom200->isChecked());
    EXPECT_TRUE(fp.store.writesOf("View Options", "Zoom").isEmpty());
}

// A middle drag pans and clicks nothing; a middle click stays a click.
TEST_F(PictureView, MiddleDragPansWithoutAClick) {
    frmMain& w = start();
    w.mnuZoom200->trigger();
    w.picFrame->scrollTo({0, 0});
    int clicks = 0;
    QObject::connect(w.picFrame, &FramePicture::mouseUp, [&clicks] { ++clicks; });
    press(w.picFrame, {100, 100}, Qt::MiddleButton);
    moveTo(w.picFrame, {60, 70}, Qt::MiddleButton);
    release(w.picFrame, {60, 70}, Qt::MiddleButton);
    EXPECT_EQ(w.picFrame->mapping().offset(), QPointF(-40, -30));
    EXPECT_EQ(clicks, 0);
    press(w.picFrame, {100, 100}, Qt::MiddleButton);
    release(w.picFrame, {100, 100}, Qt::MiddleButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(PictureView, ClickBesideTheFrameIsIgnoredWithAHint) {
    frmMain& w = start();
    w.picFrame->setZoom(0.25);
    w.cmdLock->click();
    release(w.picFrame, w.picFrame->mapping().toView({700, 10}), Qt::LeftButton);
    EXPECT_TRUE(w.state.lockArmed);
    EXPECT_FALSE(w.state.locked);
    EXPECT_TRUE(status().contains("beside")) << status().toStdString();
}

// The stretch changes what is shown; the point query and the lock still read the frame.
TEST_F(PictureView, StretchChangesTheViewNotTheMeasurement) {
    frmMain& w = start();
    const int32_t before = w.picFrame->Point(5, 5);
    w.mnuStretch->trigger();
    auto* stretch = w.findChild<StretchWindow*>();
    ASSERT_NE(stretch, nullptr);
    stretch->cboMode->setCurrentIndex(static_cast<int>(StretchMode::Automatic));
    EXPECT_EQ(w.picFrame->Point(5, 5), before);
    EXPECT_EQ(qGray(w.picFrame->image().pixel(5, 5)), 12);
    EXPECT_EQ(qGray(w.picFrame->shownImage().pixel(5, 5)), 0);
    EXPECT_EQ(qGray(w.picFrame->shownImage().pixel(101, 51)), 255);
    w.mnuZoom100->trigger();
    EXPECT_EQ(lockByClickAt(w, {102, 50}), QPointF(101, 51));
    EXPECT_EQ(fp.store.writesOf("View Options", "Stretch").last(), "1");
    // A new frame is shown through the same stretch.
    w.transferFrame();
    EXPECT_EQ(qGray(w.picFrame->shownImage().pixel(5, 5)), 0);
}

// Manual taken after Automatic starts from the automatic points: the view does not jump.
TEST_F(PictureView, ManualAfterAutomaticKeepsTheView) {
    frmMain& w = start();
    w.mnuStretch->trigger();
    auto* stretch = w.findChild<StretchWindow*>();
    ASSERT_NE(stretch, nullptr);
    stretch->sldGamma->setValue(150);
    stretch->cboMode->setCurrentIndex(static_cast<int>(StretchMode::Automatic));
    const QImage automatic = w.picFrame->shownImage();
    stretch->cboMode->setCurrentIndex(static_cast<int>(StretchMode::Manual));
    EXPECT_TRUE(stretch->sldBlack->isEnabled());
    EXPECT_EQ(w.picFrame->shownImage(), automatic);
    stretch->cboMode->setCurrentIndex(static_cast<int>(StretchMode::Off));
    EXPECT_EQ(w.picFrame->shownImage(), w.picFrame->image());
    EXPECT_FALSE(stretch->sldGamma->isEnabled());
}

// A camera's 16-bit frame is stretched from its own values, not from the 8-bit picture the
// star search reads: a star 3 units above a flat sky, invisible in the picture, shows white.
TEST_F(PictureView, SixteenBitFramesStretchFromTheirFullDepth) {
    auto raw = std::make_shared<RawFrame>();
    raw->width = 640;
    raw->height = 480;
    raw->bitDepth = 16;
    raw->pixels.assign(640 * 480, 1000);
    raw->pixels[51 * 640 + 101] = 1003;
    fp.capture.entries[0].raw = raw;
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(qRgb(0, 0, 0));
    fp.store.set("View Options", "Stretch", "1");
    frmMain& w = start(picture);
    EXPECT_EQ(w.picFrame->histogram().maxValue(), 65535);
    EXPECT_EQ(qGray(w.picFrame->shownImage().pixel(101, 51)), 255);
    EXPECT_EQ(qGray(w.picFrame->shownImage().pixel(100, 51)), 0);
    EXPECT_EQ(w.picFrame->Point(101, 51), 0);
}
