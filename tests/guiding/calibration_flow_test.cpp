#include "app/simulated_run.h"
#include "app/window_fixture.h"
#include "guiding/frmCalibration.h"
#include "guiding/guide_history.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <cmath>
#include <cstdio>

namespace {
double angleDifference(double a, double b) {
    return std::remainder(a - b, 360.0);
}

// The main window on the sky simulator with the built-in telescope, chosen through the menu;
// the typed guide rates are `typedRate`, the simulator's own 15 arcsec/s.
class CalibrationFlowTest : public WindowTest {
protected:
    void start(double cameraAngle, const char* typedRate, const char* minCorrection = "2.5") {
        run = std::make_unique<SimulatedRun>(fp);
        SkyOptions options;
        options.cameraAngle = cameraAngle;
        run->sky.setOptions(options);
        fp.store.set("Guiding Options", "Dec Correct", "1");
        fp.store.set("Guiding Options", "RA Guide Rate", typedRate);
        fp.store.set("Guiding Options", "Dec Guide Rate", typedRate);
        fp.store.set("Guiding Options", "Minumum Correction", minCorrection);
        run->open().cmdPreview->click();
        cycle();
        run->lockOnGuideStar();
        ASSERT_TRUE(window().state.locked);
    }
    frmMain& window() const { return *run->window; }
    QString status() const { return window().statusBar()->currentMessage(); }
    void cycle() { run->cycle(); }
    // Calibrates through the menu; the number of exposures it took, or -1.
    int calibrate() {
        window().mnuCalibrate->trigger();
        if (!window().calibrating())
            return -1;
        for (int n = 1; n <= 400; ++n) {
            cycle();
            if (!window().calibrating())
                return n;
        }
        return -1;
    }
    // Guides `cycles` exposures; the rms distance (px) of the star's true place from the
    // target.
    double guidedRms(int cycles) {
        window().cmdGuide->click();
        double sum = 0;
        for (int i = 0; i < cycles; ++i) {
            cycle();
            const QPointF d = run->sky.guideStarPosition() -
                              QPointF(window().state.targetX, window().state.targetY);
            sum += QPointF::dotProduct(d, d);
        }
        return std::sqrt(sum / cycles);
    }

    // Every lasting condition the status bar holds.
    QString conditions() const { return window().findChild<QLabel*>("lblConditions")->toolTip(); }

    std::unique_ptr<SimulatedRun> run;
};
} // namespace

// The simulator's East is (cos a, sin a) in the frame and North (sin a, -cos a); its pulses
// move 15 arcsec/s, 18.7 px/s at its scale, whatever rate was typed.
TEST_F(CalibrationFlowTest, RecoversCameraAngleAndSpeedWithTheTypedRateWrong) {
    struct Case {
        double angle;
        const char* typedRate;
    };
    for (const Case& k : {Case{0, "30"}, Case{30, "7.5"}, Case{90, "30"}}) {
        SCOPED_TRACE(k.angle);
        Globals::starX = Globals::starY = 0;
        fp.messages.texts.clear();
        run.reset();
        start(k.angle, k.typedRate);
        int completed = 0;
        QObject::connect(&window().calibrator(), &Calibrator::completed,
                         [&completed] { ++completed; });
        const int exposures = calibrate();
        ASSERT_GT(exposures, 0);
        ASSERT_EQ(completed, 1) << fp.messages.texts.join("; ").toStdString();
        ASSERT_TRUE(window().calibration());
        const Calibration& c = *window().calibration();
        const double pxPerSec = 15 / run->sky.options().imageScale;
        std::printf("camera %3.0f deg, typed %4s\"/s: RA %6.2f deg %5.2f px/s, Dec %6.2f deg "
                    "%5.2f px/s, %d exposures\n",
                    k.angle, k.typedRate, c.raAngle, c.raSpeed, c.decAngle, c.decSpeed, exposures);
        EXPECT_NEAR(angleDifference(c.raAngle, k.angle), 0, 2);
        EXPECT_NEAR(angleDifference(c.decAngle, k.angle - 90), 0, 2);
        EXPECT_NEAR(c.raSpeed, pxPerSec, 0.1 * pxPerSec);
        EXPECT_NEAR(c.decSpeed, pxPerSec, 0.1 * pxPerSec);
        EXPECT_FALSE(c.decMirrored());
        EXPECT_EQ(fp.store.get("Calibration Options", "Guide Output"), "ASCOM Orvalis.Simulator");

        // The window draws the whole path, filling its plot.
        const CalibrationPlot* plot = window().findChild<frmCalibration*>()->picPath;
        QRectF drawn;
        for (const auto* path : {&c.raPath, &c.decPath})
            for (const QPointF& p : *path) {
                const QPointF at = plot->placeOf(p);
                EXPECT_TRUE(QRectF(plot->rect()).contains(at)) << at.x() << "," << at.y();
                drawn |= QRectF(at, QSizeF(1, 1));
            }
        EXPECT_GT(std::max(drawn.width(), drawn.height()),
                  0.6 * std::min(plot->width(), plot->height()));
    }
}

// At 90 degrees the typed axes are swapped and one of them reversed: guiding without the
// calibration runs the star away, with it the star stays put.
TEST_F(CalibrationFlowTest, GuidingWithTheCalibrationHoldsTheStarAtNinetyDegrees) {
    start(90, "15", "0.2");
    const double specified = guidedRms(200);
    const bool lostWithout = window().state.lockLost;
    run.reset();

    Globals::starX = Globals::starY = 0;
    start(90, "15", "0.2");
    ASSERT_GT(calibrate(), 0);
    window().mnuUseCalibration->trigger();
    EXPECT_EQ(fp.store.get("Calibration Options", "Use Calibration"), "1");
    EXPECT_FALSE(window().chkRevEW->toolTip().isEmpty());
    const double calibrated = guidedRms(200);
    std::printf("camera 90 deg, 200 cycles: rms %.2f px with the calibration, %.2f px "
                "without%s\n",
                calibrated, specified, lostWithout ? " (lock lost)" : "");
    EXPECT_LT(calibrated, 1.0);
    EXPECT_GT(specified, 3.0);
    EXPECT_FALSE(window().state.lockLost);
    // The graph's mount axes: RA along the frame's y, North along its x.
    const GuideRecord& last = window().guideHistory().last();
    ASSERT_TRUE(last.found && last.onMountAxes);
    EXPECT_NEAR(last.mountRaArcsec, last.decArcsec, 0.02);
    EXPECT_NEAR(last.mountDecArcsec, -last.raArcsec, 0.02);
}

// What ends a calibration, what refuses it, and that a failure stores nothing.
TEST_F(CalibrationFlowTest, StopsRefusalsAndFailures) {
    start(0, "15");
    int stopped = 0;
    QObject::connect(&window().calibrator(), &Calibrator::stopped, [&stopped] { ++stopped; });
    window().mnuCalibrate->trigger();
    ASSERT_TRUE(window().calibrating());
    auto* progress = window().findChild<frmCalibration*>();
    ASSERT_TRUE(progress);
    cycle();
    cycle();
    EXPECT_TRUE(progress->lblProgress->text().contains("West step 1"));
    window().cmdGuide->click();
    EXPECT_FALSE(window().state.guiding);
    EXPECT_TRUE(status().contains("Calibrating"));
    window().cmdNorth->click();
    EXPECT_TRUE(status().contains("nudge"));
    const QPointF before = run->sky.guideStarPosition();
    progress->cmdStop->click();
    EXPECT_FALSE(window().calibrating());
    cycle();
    // Drift alone: a further step would have moved it 2 px.
    EXPECT_NEAR(run->sky.guideStarPosition().x(), before.x(), 0.5);
    EXPECT_EQ(stopped, 1);
    EXPECT_FALSE(window().calibration());

    const auto relock = [&] {
        const QPointF star = run->sky.guideStarPosition();
        emit window().picFrame->mouseUp(1, static_cast<float>(star.x()),
                                        static_cast<float>(star.y()));
    };
    ASSERT_TRUE(window().startCalibration());
    window().cmdLock->click(); // releases the lock
    EXPECT_FALSE(window().calibrating());
    EXPECT_FALSE(window().startCalibration());
    EXPECT_TRUE(status().contains("locked star"));
    window().cmdLock->click();
    relock();
    ASSERT_TRUE(window().startCalibration());
    window().cmdPreview->click(); // ends the loop
    EXPECT_FALSE(window().calibrating());
    EXPECT_FALSE(window().startCalibration());
    EXPECT_TRUE(status().contains("Preview"));
    window().cmdPreview->click();
    cycle();
    ASSERT_TRUE(window().startCalibration());
    window().cmdFocus->click(); // ends the loop and the lock too
    EXPECT_FALSE(window().calibrating());
    EXPECT_EQ(stopped, 4);
    window().cmdFocus->click();
    window().cmdPreview->click();
    cycle();
    window().cmdLock->click();
    relock();

    // The star knocked out of reach mid-way: a box says so and nothing is stored.
    cycle();
    ASSERT_TRUE(window().startCalibration());
    cycle();
    cycle();
    run->sky.pulse(guideEast, 5000);
    cycle();
    EXPECT_FALSE(window().calibrating());
    ASSERT_EQ(fp.messages.texts.size(), 1);
    EXPECT_TRUE(fp.messages.texts[0].contains("lost"));
    EXPECT_EQ(fp.messages.icons[0], MessageIcon::Critical);
    EXPECT_FALSE(window().calibration());
    EXPECT_EQ(fp.store.get("Calibration Options", "Time"), "<absent>");
}

// A stored calibration counts only with the image scale and the guide output it was made with;
// one without Dec guides RA alone. Each time the status bar says why.
TEST_F(CalibrationFlowTest, CalibrationOnlyCountsWithItsScaleAndOutput) {
    start(0, "15");
    const QString scale = QString::number(window().state.arcsecPerPixelX, 'g', 10);
    run.reset();
    fp.store.set("Calibration Options", "Time", "2024-05-01T22:30:05Z");
    fp.store.set("Calibration Options", "East Angle", "90");
    fp.store.set("Calibration Options", "RA Speed", "18");
    fp.store.set("Calibration Options", "Scale X", scale);
    fp.store.set("Calibration Options", "Scale Y", scale);
    fp.store.set("Calibration Options", "Guide Output", "ASCOM Orvalis.Simulator");
    fp.store.set("Calibration Options", "Use Calibration", "1");
    start(0, "15");
    ASSERT_TRUE(window().calibration());
    EXPECT_TRUE(window().mnuUseCalibration->isChecked());
    EXPECT_NE(window().calibrationInUse(), nullptr);
    EXPECT_TRUE(conditions().contains("no Dec axis"));
    EXPECT_FALSE(window().chkRevEW->toolTip().isEmpty());

    fp.store.set("Guidescope Options", "FocalLength", "900");
    window().setDefaults(); // as the Options dialog's save does
    EXPECT_TRUE(conditions().contains("image scale"));
    EXPECT_TRUE(window().chkRevEW->toolTip().isEmpty());
    fp.store.set("Guidescope Options", "FocalLength", keys::FocalLength.startupDefault);
    window().setDefaults();
    EXPECT_FALSE(conditions().contains("image scale"));
    window().mnuParallel->trigger();
    EXPECT_TRUE(conditions().contains("guide output is now the relay box"));
    EXPECT_EQ(window().calibrationInUse(), nullptr);

    window().mnuUseCalibration->trigger(); // unticked: the typed rates, nothing to say
    EXPECT_FALSE(window().hasCondition("calibration"));
    window().mnuClearCalibration->trigger();
    EXPECT_FALSE(window().calibration());
    EXPECT_EQ(fp.store.get("Calibration Options", "Time"), "");
}
