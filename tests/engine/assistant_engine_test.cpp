#include "engine/engine_fixture.h"
#include "settings/convert.h"

#include <algorithm>

namespace {
// The engine on the simulator with a fast worm (100 s), so that a short run sees it; the
// assistant on the simulator's clock; the loop running and the bright star locked.
class AssistantTest : public EngineTest {
protected:
    GuideEngine& lockedLoop() {
        SkyOptions options = sky.options();
        options.pePeriod = 100;
        sky.setOptions(options);
        GuideEngine& e = open();
        e.setAssistantClock([this] { return clock->nowSeconds(); });
        e.toggleLoop();
        cycle();
        const QPointF star = sky.guideStarPosition();
        EXPECT_TRUE(e.lockAt(star.x(), star.y()));
        return e;
    }
    QString lawSetting(const QString& key) const {
        return fp.store.get(QStringLiteral("Guide Law Options"), key);
    }
};
} // namespace

// A run records the star without a single pulse (guiding it stopped), then steps North and
// South for the backlash; its figures are the simulator's drift and worm, the backlash of a
// mount without play is near none and is stored, and applying stores the advice.
TEST_F(AssistantTest, RecordsWithoutCorrectionsMeasuresBacklashAndApplies) {
    GuideEngine& e = lockedLoop();
    e.toggleGuide();
    ASSERT_TRUE(e.state.guiding);
    std::vector<GuideDirection> pulses;
    int done = 0;
    QObject::connect(&e, &GuideEngine::pulsing, [&](GuideDirection d, bool on) {
        if (on)
            pulses.push_back(d);
    });
    QObject::connect(&e, &GuideEngine::assistantDone, [&] { ++done; });
    ASSERT_TRUE(e.startAssistant(240, true));
    EXPECT_FALSE(e.state.guiding);
    EXPECT_FALSE(e.startAssistant(240, false)) << "already running";
    for (int n = 0; n < 400 && e.assisting(); ++n) {
        cycle();
        if (e.assisting() && !e.assistantMeasuringBacklash()) {
            ASSERT_TRUE(pulses.empty()) << "a pulse while recording, cycle " << n;
        }
    }
    ASSERT_EQ(e.assistantState(), AssistantState::Done);
    EXPECT_EQ(done, 1);
    const auto& r = e.assistantResults();
    ASSERT_TRUE(r);
    const AssistantFigures& f = r->figures;
    EXPECT_GE(f.frames, 240);
    EXPECT_EQ(f.lostFrames, 0);
    EXPECT_FALSE(r->onMountAxes);
    EXPECT_NEAR(std::abs(f.ra.driftPerMin), 6, 1.0);
    EXPECT_NEAR(std::abs(f.dec.driftPerMin), 2, 0.3);
    ASSERT_TRUE(f.pe.measured) << f.pe.note.toStdString();
    EXPECT_NEAR(f.pe.periodSec, 100, 5);
    EXPECT_NEAR(f.pe.peakToPeakArcsec, 17.6, 2.5); // the simulator's 8 arcsec sine + harmonic
    EXPECT_GT(f.ra.seeingRms, 0.05);
    EXPECT_LT(f.ra.seeingRms, 1.2);
    EXPECT_NEAR(f.polar.errorArcmin, 3.8197 * 2, 1.2);

    ASSERT_TRUE(r->backlash) << r->backlashNote.toStdString();
    EXPECT_LT(r->backlash->ms, 150);
    EXPECT_GE(std::count(pulses.begin(), pulses.end(), guideNorth), kSteadySteps);
    EXPECT_GE(std::count(pulses.begin(), pulses.end(), guideSouth), kSteadySteps);
    EXPECT_EQ(lawSetting("Measured Dec Backlash"), fromWhole(std::lround(r->backlash->ms)));
    EXPECT_EQ(e.measuredDecBacklash(), std::round(r->backlash->ms));

    ASSERT_TRUE(e.applyAssistantAdvice());
    const AssistantAdvice& a = r->advice;
    EXPECT_EQ(lawSetting("RA Law"), a.law);
    EXPECT_EQ(lawSetting("Dec Law"), a.law);
    // A law that sets its own dead band gets no minimum move, and no key it would not read.
    const std::vector<LawParam> params = e.law(false).params();
    if (std::any_of(params.begin(), params.end(),
                    [](const LawParam& p) { return p.name == QLatin1String("Minimum Move"); })) {
        EXPECT_DOUBLE_EQ(lawSetting(QStringLiteral("RA %1 Minimum Move").arg(a.law)).toDouble(),
                         a.raMinMoveArcsec);
        EXPECT_DOUBLE_EQ(lawSetting(QStringLiteral("Dec %1 Minimum Move").arg(a.law)).toDouble(),
                         a.decMinMoveArcsec);
    } else {
        EXPECT_EQ(lawSetting(QStringLiteral("RA %1 Minimum Move").arg(a.law)), "<absent>");
    }
    EXPECT_EQ(e.law(false).name(), a.law);
    EXPECT_EQ(e.law(true).name(), a.law);
    EXPECT_NEAR(e.state.nextExposureSec * 1000, a.exposureMs, 1);
    EXPECT_TRUE(e.assistantResults()) << "results stay until the next run";
}

// It needs a locked star; guiding ends a run and keeps what it recorded; a run stopped before
// it has frames enough gives nothing; a nudge is refused while it runs.
TEST_F(AssistantTest, NeedsALockEndsWithGuidingAndKeepsItsFrames) {
    GuideEngine& e = lockedLoop();
    e.toggleLock();
    EXPECT_FALSE(e.startAssistant());
    EXPECT_EQ(e.assistantState(), AssistantState::Idle);
    const QPointF star = sky.guideStarPosition();
    ASSERT_TRUE(e.lockAt(star.x(), star.y()));
    ASSERT_TRUE(e.startAssistant(120, true));
    for (int n = 0; n < 30; ++n)
        cycle();
    int pulses = 0;
    QObject::connect(&e, &GuideEngine::pulsing, [&](GuideDirection, bool on) { pulses += on; });
    e.nudge(guideNorth, QStringLiteral("500"));
    EXPECT_EQ(pulses, 0);
    e.toggleGuide();
    ASSERT_TRUE(e.state.guiding);
    EXPECT_EQ(e.assistantState(), AssistantState::Done);
    const auto& r = e.assistantResults();
    ASSERT_TRUE(r);
    EXPECT_EQ(r->figures.frames, 30);
    EXPECT_FALSE(r->backlash);
    EXPECT_FALSE(r->backlashNote.isEmpty());
    EXPECT_EQ(r->advice.law, "Hysteresis") << "30 s is too little for a prediction";
    EXPECT_EQ(lawSetting("Measured Dec Backlash"), "<absent>");

    e.stopGuiding();
    ASSERT_TRUE(e.startAssistant());
    EXPECT_FALSE(e.assistantResults()) << "a new run forgets the last";
    cycle();
    e.stopAssistant();
    EXPECT_EQ(e.assistantState(), AssistantState::Idle);
    EXPECT_FALSE(e.assistantResults());
    EXPECT_FALSE(e.applyAssistantAdvice());
}

// A calibration with Dec tells the backlash its South steps show: next to none on the
// simulator's mount, which has no play.
TEST_F(EngineTest, ACalibrationWithDecStoresTheDecBacklash) {
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    ASSERT_TRUE(e.startCalibration(true));
    for (int n = 0; n < 400 && e.calibrating(); ++n)
        cycle();
    ASSERT_TRUE(e.calibration());
    ASSERT_TRUE(e.calibration()->hasDec);
    const auto ms = e.measuredDecBacklash();
    ASSERT_TRUE(ms);
    EXPECT_LT(*ms, 150);
    EXPECT_EQ(fp.store.writesOf("Guide Law Options", "Measured Dec Backlash").size(), 1);
}
