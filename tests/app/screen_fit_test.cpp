#include "app/frame_picture.h"
#include "app/screen_fixture.h"
#include "graph/guide_graph.h"
#include "graph/guide_panel.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSlider>
#include <QStatusBar>

namespace {
QRect onScreen(const QWidget* w) {
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

QImage bigFrame() {
    QImage frame(1280, 1024, QImage::Format_RGB32);
    frame.fill(qRgb(12, 12, 12));
    for (int x = 899; x <= 901; ++x)
        for (int y = 799; y <= 801; ++y)
            frame.setPixel(x, y, qRgb(220, 220, 220));
    return frame;
}

// Shown in the window, or within a scroll area that scrolls it into sight.
::testing::AssertionResult reachable(frmMain& w, QWidget* control) {
    QRect room = onScreen(w.centralWidget());
    for (QWidget* p = control->parentWidget(); p; p = p->parentWidget())
        if (auto* area = qobject_cast<QScrollArea*>(p)) {
            area->ensureWidgetVisible(control, 0, 0);
            room = onScreen(area->viewport()).intersected(room);
            break;
        }
    if (control->isVisibleTo(&w) && room.contains(onScreen(control)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << control->objectName().toStdString() << " " << control->metaObject()->className()
           << " at " << onScreen(control).y() << ", room to " << room.bottom();
}

// A 1280 x 1024 camera on a smaller screen: the window, its graph and status bar stay on
// the screen, and the whole frame is shown, reduced.
void expectBigFrameFits(frmMain& w) {
    const QRect room = w.screen()->availableGeometry();
    const QSize before = w.size();
    w.transferFrame();
    QApplication::processEvents();
    EXPECT_EQ(w.size(), before);
    EXPECT_TRUE(room.contains(w.frameGeometry())) << w.frameGeometry().width();
    EXPECT_TRUE(room.contains(onScreen(w.guidePanel->graph)));
    EXPECT_TRUE(room.contains(onScreen(w.statusBar())));
    const ViewMapping& view = w.picFrame->mapping();
    EXPECT_EQ(view.frameSize(), QSize(1280, 1024));
    EXPECT_LT(view.scale(), 1.0);
    EXPECT_TRUE(QRectF(w.picFrame->rect()).contains(view.frameRect()));
}
} // namespace

TEST_F(Screen1280x800, BigFrameLeavesTheWindowOnTheScreen) {
    fp.capture.entries[0].frame = bigFrame();
    expectBigFrameFits(openShown());
}

TEST_F(Screen1366x768, BigFrameLeavesTheWindowOnTheScreen) {
    fp.capture.entries[0].frame = bigFrame();
    expectBigFrameFits(openShown());
}

// Options beside the window, or over its graph side when the window fills the screen; never
// over the buttons.
TEST_F(Screen1280x800, DialogsOpenOnTheScreenClearOfTheButtons) {
    frmMain& w = openShown();
    const QRect room = w.screen()->availableGeometry();
    w.mnuOptions->trigger();
    w.mnuGuidingAssistant->trigger();
    w.mnuCalibrationWindow->trigger();
    w.mnuGuideLaws->trigger();
    int dialogs = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top == &w || !top->isVisible())
            continue;
        ++dialogs;
        waitShown(top);
        const QRect place = top->frameGeometry();
        EXPECT_TRUE(room.contains(place)) << top->windowTitle().toStdString();
        for (QPushButton* button : {w.cmdPreview, w.cmdGuide, w.cmdNorth})
            EXPECT_FALSE(place.intersects(onScreen(button))) << top->windowTitle().toStdString();
    }
    EXPECT_EQ(dialogs, 4);
}

TEST_F(Screen1024x600, EveryControlIsReachable) {
    frmMain& w = openShown();
    const QRect room = w.screen()->availableGeometry();
    EXPECT_TRUE(room.contains(w.frameGeometry()))
        << w.frameGeometry().width() << "x" << w.frameGeometry().height();
    EXPECT_TRUE(room.contains(onScreen(w.statusBar())));
    EXPECT_TRUE(room.contains(onScreen(w.guidePanel)));
    QList<QWidget*> controls{
        w.sldExposure, w.sldAggressiveness,          w.txtSlewPulseTime, w.lblDx,
        w.lblDy,       w.guidePanel->graph->cmdClear};
    for (QAbstractButton* b : w.centralWidget()->findChildren<QAbstractButton*>())
        if (b->isVisibleTo(&w))
            controls.append(b);
    ASSERT_GT(controls.size(), 20);
    for (QWidget* c : controls)
        EXPECT_TRUE(reachable(w, c));
}

// On a large screen the window opens whole at its natural size; maximised, it gives the room
// to the picture, which shows the frame larger, and to the graph.
TEST_F(Screen1920x1080, MaximisedWindowGivesThePictureAndTheGraphTheRoom) {
    fp.capture.entries[0].frame = bigFrame();
    frmMain& w = openShown();
    const QRect room = w.screen()->availableGeometry();
    EXPECT_EQ(w.size(), w.sizeHint());
    EXPECT_TRUE(room.contains(w.frameGeometry()));
    w.transferFrame();
    const QSize picture = w.picFrame->size();
    const QSize graph = w.guidePanel->graph->size();
    const double scale = w.picFrame->mapping().scale();
    w.showMaximized();
    ASSERT_TRUE(QTest::qWaitFor([&w, picture] { return w.picFrame->size() != picture; }));
    EXPECT_EQ(w.frameGeometry(), room);
    EXPECT_GT(w.picFrame->width(), picture.width());
    EXPECT_GT(w.picFrame->height(), picture.height());
    EXPECT_GT(w.guidePanel->graph->width(), graph.width());
    EXPECT_GT(w.picFrame->mapping().scale(), scale);
    EXPECT_TRUE(room.contains(onScreen(w.statusBar())));
}
