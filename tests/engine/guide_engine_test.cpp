#include "engine/engine_fixture.h"

// Loop, lock on the simulator's bright star, guide: knocked 9 arcsec off, the error falls below
// the minimum correction within a few cycles and stays near it, in spite of drift and periodic
// error. Every cycle is told once, with its record.
TEST_F(EngineTest, LoopsLocksAndHoldsTheStarThroughItsCalls) {
    GuideEngine& e = open();
    int cycles = 0;
    int records = 0;
    QObject::connect(&e, &GuideEngine::cycleEnded, [&] { ++cycles; });
    QObject::connect(&e.guideHistory(), &GuideHistory::appended, [&] { ++records; });
    e.toggleLoop();
    ASSERT_TRUE(e.state.previewing);
    cycle();
    const QPointF star = sky.guideStarPosition();
    ASSERT_TRUE(e.lockAt(star.x(), star.y()));
    ASSERT_NEAR(e.state.targetX, star.x(), 1.0);
    e.toggleGuide();
    ASSERT_TRUE(e.state.guiding);

    sky.pulse(guideEast, 600); // 9 arcsec at 15 arcsec per second
    cycle();
    EXPECT_GT(error(), 8.0);
    for (int i = 0; i < 3; ++i)
        cycle();
    const double minimum = e.state.minCorrection;
    EXPECT_LT(error(), minimum);
    double sumSquares = 0;
    const int guided = 120;
    const uint64_t rendered = sky.framesRendered();
    for (int i = 0; i < guided; ++i) {
        cycle();
        ASSERT_FALSE(e.state.lockLost) << "cycle " << i;
        // The dead band, one cycle of drift and the seeing's jitter (0.4 arcsec rms).
        EXPECT_LT(error(), minimum + 1.5) << "cycle " << i;
        sumSquares += error() * error();
    }
    EXPECT_LT(std::sqrt(sumSquares / guided), minimum);
    // Each cycle grabs twice and renders only the frame it uses.
    EXPECT_EQ(sky.framesRendered() - rendered, static_cast<uint64_t>(guided));
    EXPECT_EQ(cycles, guided + 5);
    EXPECT_EQ(records, guided + 4); // the first frame came before the lock
}

// A calibration started through the engine runs one step per exposure, is stored when it ends,
// and is then what corrections use; pausing holds the corrections and, in full, the exposures.
TEST_F(EngineTest, CalibratesPausesAndResumesThroughItsCalls) {
    fp.store.set("Calibration Options", "Use Calibration", "1");
    GuideEngine& e = open();
    EXPECT_EQ(e.calibrationInUse(), nullptr);
    EXPECT_TRUE(e.hasCondition(QStringLiteral("calibration")));
    e.toggleLoop();
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    int stored = 0;
    QObject::connect(&e, &GuideEngine::calibrationChanged, [&] { ++stored; });
    ASSERT_TRUE(e.startCalibration(true));
    int exposures = 0;
    while (e.calibrating() && exposures < 400) {
        cycle();
        ++exposures;
    }
    ASSERT_FALSE(e.calibrating());
    EXPECT_EQ(stored, 1);
    ASSERT_NE(e.calibrationInUse(), nullptr);
    EXPECT_FALSE(e.hasCondition(QStringLiteral("calibration")));
    EXPECT_FALSE(fp.store.writesOf("Calibration Options", "East Angle").isEmpty());

    ASSERT_TRUE(e.startGuiding());
    e.setGuidingPaused(true, false);
    sky.pulse(guideEast, 600);
    cycle();
    cycle();
    EXPECT_GT(error(), 8.0) << "a paused guider corrects nothing";
    e.setGuidingPaused(true, true);
    EXPECT_FALSE(e.exposureTimer().isActive());
    e.setGuidingPaused(false, false);
    EXPECT_TRUE(e.exposureTimer().isActive());
    for (int i = 0; i < 4; ++i)
        cycle();
    EXPECT_LT(error(), e.state.minCorrection);
}

// changed() goes out once per operation, at its end, also for one made of others (selecting a
// star releases the lock, arms it and clicks): a listener never sees the steps between.
TEST_F(EngineTest, TellsEachOperationOnceAtItsEnd) {
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    const QPointF star = sky.guideStarPosition();
    ASSERT_TRUE(e.lockAt(star.x(), star.y()));
    std::vector<bool> lockedAtEachChange;
    QObject::connect(&e, &GuideEngine::changed,
                     [&] { lockedAtEachChange.push_back(e.state.locked); });
    ASSERT_TRUE(e.selectStarAutomatically());
    EXPECT_EQ(lockedAtEachChange, std::vector<bool>{true});
    e.toggleLock();
    EXPECT_EQ(lockedAtEachChange, (std::vector<bool>{true, false}));
    EXPECT_FALSE(e.lockAt(2, 2)) << "empty sky";
    EXPECT_FALSE(e.state.locked || e.state.lockArmed);
}

// A dither moves the target at most its amount, inside the frame; the settle that follows
// counts the guide cycles until the star is back within range (its time is wall-clock seconds:
// none asked here).
TEST_F(EngineTest, DithersAndSettlesThroughItsCalls) {
    // A dead band well inside the settle distance, whichever way the random dither goes.
    fp.store.set("Guiding Options", "Minumum Correction", "0.5");
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    const QPointF star = sky.guideStarPosition();
    ASSERT_TRUE(e.lockAt(star.x(), star.y()));
    ASSERT_TRUE(e.startGuiding());
    std::vector<SettleResult> done;
    int steps = 0;
    QObject::connect(&e, &GuideEngine::settlingStep, [&] { ++steps; });
    QObject::connect(&e, &GuideEngine::settleDone,
                     [&](const SettleResult& result) { done.push_back(result); });
    const QPointF before(e.state.targetX, e.state.targetY);
    e.beginSettle(SettleParams{1.5, 0, 30});
    const QPointF moved = e.dither(3, false);
    EXPECT_LE(std::hypot(moved.x(), moved.y()), 3.0 + 1e-6);
    EXPECT_NEAR(e.state.targetX, before.x() + moved.x(), 1e-3);
    EXPECT_NEAR(e.state.targetY, before.y() + moved.y(), 1e-3);
    for (int i = 0; i < 30 && done.empty(); ++i)
        cycle();
    ASSERT_EQ(done.size(), 1u);
    EXPECT_TRUE(done[0].success) << done[0].error.toStdString();
    EXPECT_EQ(done[0].totalFrames, steps + 1);
    EXPECT_FALSE(e.settleRunning());
    EXPECT_FALSE(e.stopSettle(QStringLiteral("too late")));
}

// The laws chosen by name are stored and guide the simulator: the predictive law holds the star
// closer than the standard law's 2.5" dead band, and with Dec guided North only no South pulse
// ever goes out. A new engine reads the choices back.
TEST_F(EngineTest, GuidesWithTheLawsChosenAndOneWayDec) {
    GuideEngine& e = open();
    ASSERT_TRUE(e.chooseLaw(false, QStringLiteral("predictive")));
    ASSERT_TRUE(e.chooseLaw(true, QStringLiteral("Predictive")));
    EXPECT_FALSE(e.chooseLaw(true, QStringLiteral("Psychic")));
    e.setDecGuideMode(DecGuideMode::North);
    e.toggleLoop();
    cycle();
    const QPointF star = sky.guideStarPosition();
    ASSERT_TRUE(e.lockAt(star.x(), star.y()));
    e.toggleGuide();
    double sumSquares = 0;
    int counted = 0;
    for (int i = 0; i < 150; ++i) {
        cycle();
        ASSERT_FALSE(e.state.lockLost);
        const GuideRecord& r = e.guideHistory().last();
        if (r.decPulse) {
            EXPECT_EQ(r.decPulse->direction, guideNorth) << "cycle " << i;
        }
        if (i >= 30) {
            sumSquares += r.raArcsec * r.raArcsec;
            ++counted;
        }
    }
    EXPECT_LT(std::sqrt(sumSquares / counted), 1.2);
    EXPECT_EQ(fp.store.get("Guide Law Options", "RA Law"), "Predictive");
    engine.reset();
    GuideEngine& again = open();
    EXPECT_EQ(again.law(true).name(), QStringLiteral("Predictive"));
    EXPECT_EQ(again.decGuideMode(), DecGuideMode::North);
}
