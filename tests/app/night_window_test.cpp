#include "app/button_colour.h"
#include "app/conditions_panel.h"
#include "app/dither_window.h"
#include "app/picture_pane.h"
#include "app/simulated_run.h"
#include "app/url_catcher.h"
#include "app/user_guide.h"
#include "app/window_fixture.h"
#include "graph/guide_panel.h"

#include <QApplication>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QToolTip>

namespace {
// Pixels of `image` close to pure red.
int reddish(const QImage& image) {
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += c.red() > 200 && c.green() < 60 && c.blue() < 60 ? 1 : 0;
        }
    return n;
}

QWidget* shownToolTip() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QTipLabel") && w->isVisible())
            return w;
    return nullptr;
}

} // namespace

// Night Mode turns the whole program dark red, the buttons then tell their state by a sign,
// and it is kept for the next start. Turned off, the day look comes back exactly as it was.
TEST_F(WindowTest, NightModeDarkensEverythingAndGivesButtonsSigns) {
    frmMain& w = open();
    const QPalette day = qApp->palette();
    const QString dayButton = w.cmdGuide->styleSheet();
    EXPECT_FALSE(w.mnuNightMode->isChecked());
    EXPECT_EQ(w.cmdGuide->text(), "Guide");

    w.mnuNightMode->trigger();
    EXPECT_EQ(fp.store.get("View Options", "Night Mode"), "1");
    EXPECT_EQ(qApp->palette().color(QPalette::Window), QColor(0x10, 0, 0));
    EXPECT_EQ(qApp->palette().color(QPalette::WindowText), QColor(0xb0, 0, 0));
    EXPECT_EQ(w.cmdGuide->text(), "Guide \u25CB");
    EXPECT_EQ(w.cmdLock->text(), "Lock \u25CB");
    EXPECT_EQ(buttonColour(w.cmdGuide), Colour::Red); // the state itself is unchanged
    EXPECT_TRUE(w.guidePanel->graph->night());
    EXPECT_TRUE(w.picFrame->nightShown());
    w.cmdLock->click(); // armed: waiting
    EXPECT_EQ(w.cmdLock->text(), "Lock \u25D0");

    w.mnuNightMode->trigger();
    EXPECT_EQ(fp.store.get("View Options", "Night Mode"), "0");
    EXPECT_EQ(qApp->palette(), day);
    EXPECT_EQ(w.cmdGuide->text(), "Guide");
    EXPECT_EQ(w.cmdLock->text(), "Lock");
    EXPECT_EQ(w.cmdGuide->styleSheet(), dayButton);
    EXPECT_FALSE(w.guidePanel->graph->night());

    fp.store.set("View Options", "Night Mode", "1");
    frmMain& again = open();
    EXPECT_TRUE(again.mnuNightMode->isChecked());
    EXPECT_EQ(again.cmdPreview->text(), "Preview \u25CB");
    window.reset(); // closing the window gives the day look back
    EXPECT_EQ(qApp->palette(), day);
}

// The picture at night is the frame's brightness in red only; the frame the star is measured
// on, and the point query, stay as they were.
TEST_F(WindowTest, NightPictureIsARedViewOfAnUnchangedFrame) {
    SimulatedRun run(fp);
    frmMain& w = run.open();
    w.cmdPreview->click();
    run.cycle();
    const QImage frame = w.picFrame->image();
    const QPoint star = run.sky.guideStarPosition().toPoint();
    const int32_t before = w.picFrame->Point(star.x(), star.y());
    w.mnuNightMode->trigger();
    const QImage shown = w.picFrame->shownImage();
    EXPECT_EQ(w.picFrame->image(), frame);
    EXPECT_EQ(w.picFrame->Point(star.x(), star.y()), before);
    const QColor bright = shown.pixelColor(star);
    EXPECT_GT(bright.red(), 60);
    EXPECT_EQ(bright.green(), 0);
    EXPECT_EQ(bright.blue(), 0);
    EXPECT_LT(bright.red(), frame.pixelColor(star).red() + 1);
    run.cycle(); // a new frame is shown red too
    EXPECT_EQ(w.picFrame->shownImage().pixelColor(star).green(), 0);
}

// A button's tooltip is drawn in the tooltip's own colours, not the button's (black on red),
// by day and at night.
TEST_F(WindowTest, ButtonTooltipsDoNotTakeTheButtonColour) {
    frmMain& w = open();
    w.show();
    ASSERT_EQ(buttonColour(w.cmdGuide), Colour::Red);
    QToolTip::showText(w.cmdGuide->mapToGlobal(QPoint(5, 5)), w.cmdGuide->toolTip(), w.cmdGuide);
    QWidget* tip = shownToolTip();
    ASSERT_TRUE(tip);
    const QImage image = tip->grab().toImage();
    EXPECT_LT(reddish(image), image.width() * image.height() / 10);
    QToolTip::hideText();

    w.mnuNightMode->trigger(); // at night, dim red on black like every other window
    QToolTip::showText(w.cmdLock->mapToGlobal(QPoint(5, 5)), w.cmdLock->toolTip(), w.cmdLock);
    tip = shownToolTip();
    ASSERT_TRUE(tip);
    const QColor corner = tip->grab().toImage().pixelColor(tip->width() / 2, 2);
    EXPECT_LT(corner.red(), 0x60);
    EXPECT_EQ(corner.green(), 0);
    EXPECT_EQ(corner.blue(), 0);
    QToolTip::hideText();
}

// The hint over the picture follows the guider from a closed camera to a locked star.
TEST_F(WindowTest, NextStepHintFollowsTheGuider) {
    SimulatedRun run(fp);
    frmMain& w = run.open();
    QLabel* hint = w.picturePane->hint;
    EXPECT_EQ(hint->text(), "Press Preview to start the camera");
    EXPECT_FALSE(hint->isHidden());
    w.cmdPreview->click();
    run.cycle();
    EXPECT_EQ(hint->text(), "Press Lock, then click the guide star");
    w.cmdLock->click();
    EXPECT_TRUE(hint->text().startsWith("Click the guide star"));
    const QPointF star = run.sky.guideStarPosition();
    emit w.picFrame->mouseUp(1, static_cast<float>(star.x()), static_cast<float>(star.y()));
    EXPECT_TRUE(hint->text().startsWith("Calibrate"));
    w.cmdGuide->click();
    EXPECT_TRUE(hint->isHidden());
}

// Lasting conditions are listed in full under the controls; a link runs what the condition
// asks for, and the panel goes away with the last condition.
TEST_F(WindowTest, ConditionsPanelShowsConditionsInFullAndActs) {
    frmMain& w = open();
    EXPECT_TRUE(w.conditionsPanel->isHidden());
    const QString longText = QStringLiteral("The calibration was made with ASCOM "
                                            "Orvalis.Simulator, the guide output is now "
                                            "Parallel: calibrate again");
    w.showCondition("calibration", longText);
    w.showCondition("log", "Logging stopped: disk full");
    EXPECT_FALSE(w.conditionsPanel->isHidden());
    EXPECT_TRUE(w.conditionsPanel->text().contains(longText));
    EXPECT_TRUE(w.conditionsPanel->text().contains("disk full"));
    EXPECT_TRUE(w.conditionsPanel->wordWrap());
    int calibrations = 0;
    QObject::connect(w.mnuCalibrate, &QAction::triggered, [&] { ++calibrations; });
    emit w.conditionsPanel->linkActivated("act:calibrate");
    EXPECT_EQ(calibrations, 1);
    EXPECT_EQ(conditionAction("log").action, "");
    w.clearCondition("calibration");
    w.clearCondition("log");
    EXPECT_TRUE(w.conditionsPanel->isHidden());
}

// Guiding > Dither... moves the target while guiding, as an imaging program's dither does, and
// says why not otherwise.
TEST_F(WindowTest, DitherWindowDithersWhileGuiding) {
    SimulatedRun run(fp);
    frmMain& w = run.open();
    w.mnuDither->trigger();
    ASSERT_TRUE(w.ditherWindow);
    EXPECT_FALSE(w.ditherWindow->isModal());
    w.ditherWindow->cmdDither->click();
    EXPECT_EQ(w.ditherWindow->lblResult->text(), "No dither: start guiding first (Guide)");

    w.cmdPreview->click();
    run.cycle();
    run.lockOnGuideStar();
    run.cycle();
    w.cmdGuide->click();
    run.cycle();
    const QPointF target(w.state.targetX, w.state.targetY);
    w.ditherWindow->spnAmount->setValue(5);
    w.ditherWindow->chkRaOnly->setChecked(true);
    w.ditherWindow->cmdDither->click();
    EXPECT_EQ(w.ditherWindow->lblResult->text(), "Dithered; settling...");
    const QPointF moved = QPointF(w.state.targetX, w.state.targetY) - target;
    EXPECT_GT(std::hypot(moved.x(), moved.y()), 0);
    EXPECT_LE(std::hypot(moved.x(), moved.y()), 5.001);
    EXPECT_TRUE(w.engine().settleRunning());
    w.ditherWindow->cmdDither->click(); // a second one while settling is refused
    EXPECT_TRUE(w.ditherWindow->lblResult->text().startsWith("No dither: "));
}

// Help > User Guide opens the guide the build wrote beside the program; with none there, a
// note says so.
TEST_F(WindowTest, UserGuideIsFoundAndOpened) {
    frmMain& w = open();
    UrlCatcher catcher;
    w.mnuUserGuide->trigger();
    ASSERT_EQ(catcher.opened.size(), 1);
    const QString path = catcher.opened.front().toLocalFile();
    EXPECT_TRUE(path.endsWith("share/doc/orvalis/user-guide.html"));
    QFile guide(path);
    ASSERT_TRUE(guide.open(QIODevice::ReadOnly));
    const QByteArray html = guide.readAll();
    EXPECT_TRUE(html.contains("Quick start on the simulator"));
    EXPECT_FALSE(html.contains("Building by hand")); // the developers' part is left out
    EXPECT_FALSE(html.contains("<img"));             // pictures stay in the source tree

    QTemporaryDir elsewhere;
    EXPECT_EQ(userGuideIn(elsewhere.path() + "/bin"), "");
}
