#include "guiding/assistant/assistant_advice.h"
#include "guiding/assistant/assistant_analysis.h"
#include "sim/mount_model.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
// A run with corrections off: RA drifts and swings with the simulator's periodic error (its
// main sine and a harmonic), Dec drifts; each frame adds seeing of its own per axis.
struct SyntheticRun {
    double intervalSec = 2;
    double durationSec = 1200;
    double raDriftPerMin = 3;
    double decDriftPerMin = -1.5;
    double peAmplitude = 8;
    double pePeriod = 480;
    double raSeeing = 0.4;
    double decSeeing = 0.3;
    uint32_t seed = 11;

    std::vector<AssistantSample> samples() const {
        std::mt19937 random(seed);
        std::normal_distribution<double> ra(0, raSeeing), dec(0, decSeeing);
        std::vector<AssistantSample> out;
        for (double t = 0; t <= durationSec + 1e-9; t += intervalSec) {
            AssistantSample s;
            s.tSec = 1000 + t;
            s.found = true;
            s.raArcsec =
                raDriftPerMin * t / 60 + periodicError(t, peAmplitude, pePeriod) + ra(random);
            s.decArcsec = decDriftPerMin * t / 60 + dec(random);
            s.starPx = QPointF(100 + s.raArcsec, 200 + s.decArcsec);
            out.push_back(s);
        }
        return out;
    }
};

// The simulator's wave from crest to trough.
double truePeakToPeak(double amplitude, double period) {
    double low = 0, high = 0;
    for (int k = 0; k < 3600; ++k) {
        const double v = periodicError(period * k / 3600, amplitude, period);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return high - low;
}
} // namespace

// A long run gives back the drift, the seeing, the periodic error's period and size and the
// polar alignment error; frames lost on the way (whatever they hold) change nothing.
TEST(AssistantAnalysis, RecoversDriftSeeingPeriodicErrorAndPolarError) {
    auto samples = SyntheticRun{}.samples();
    for (size_t i : {50u, 51u, 300u}) {
        samples[i].found = false;
        samples[i].raArcsec = samples[i].decArcsec = 0;
    }
    const auto f = analyseAssistantRun(samples, std::nullopt);
    ASSERT_TRUE(f);
    EXPECT_EQ(f->frames, 601);
    EXPECT_EQ(f->lostFrames, 3);
    EXPECT_NEAR(f->durationSec, 1200, 1e-6);
    // The periodic error's own change between frames adds a few percent to RA.
    EXPECT_NEAR(f->ra.seeingRms, 0.4, 0.05);
    EXPECT_NEAR(f->dec.seeingRms, 0.3, 0.03);
    EXPECT_NEAR(f->ra.driftPerMin, 3, 0.1);
    EXPECT_NEAR(f->dec.driftPerMin, -1.5, 0.05);
    ASSERT_TRUE(f->pe.measured) << f->pe.note.toStdString();
    EXPECT_NEAR(f->pe.periodSec, 480, 5);
    EXPECT_NEAR(f->pe.peakToPeakArcsec, truePeakToPeak(8, 480), 0.5);
    EXPECT_NEAR(f->ra.residualRms, 0.4, 0.05);
    EXPECT_NEAR(f->polar.errorArcmin, 3.8197 * 1.5, 0.2);
    EXPECT_FALSE(f->polar.note.isEmpty()) << "the equator is assumed";
    EXPECT_NEAR(f->driftPxPerSec.y(), -1.5 / 60, 0.002);

    const auto at60 = analyseAssistantRun(samples, 60.0);
    EXPECT_NEAR(at60->polar.errorArcmin, 2 * f->polar.errorArcmin, 1e-9);
    EXPECT_TRUE(at60->polar.note.isEmpty());
    EXPECT_NEAR(polarAlignmentArcmin(-2, -60), 3.8197 * 4, 1e-9);
}

// Too short a run to hold 1.5 periods of any worm, or of the worm there is, says to run longer;
// a run with no periodic error finds none, whatever the noise.
TEST(AssistantAnalysis, PeriodicErrorNeedsALongEnoughRunAndIsNotInventedFromNoise) {
    SyntheticRun shortRun;
    shortRun.durationSec = 80;
    const auto tooShort = analyseAssistantRun(shortRun.samples(), std::nullopt);
    ASSERT_TRUE(tooShort);
    EXPECT_FALSE(tooShort->pe.measured);
    EXPECT_TRUE(tooShort->pe.note.startsWith("Run longer")) << tooShort->pe.note.toStdString();

    SyntheticRun partOfAPeriod;
    partOfAPeriod.durationSec = 300;
    const auto partial = analyseAssistantRun(partOfAPeriod.samples(), std::nullopt);
    EXPECT_FALSE(partial->pe.measured) << partial->pe.periodSec;
    EXPECT_TRUE(partial->pe.note.startsWith("Run longer")) << partial->pe.note.toStdString();

    for (uint32_t seed = 1; seed <= 6; ++seed) {
        SyntheticRun flat;
        flat.peAmplitude = 0;
        flat.durationSec = 900;
        flat.raSeeing = 0.8;
        flat.seed = seed;
        const auto f = analyseAssistantRun(flat.samples(), std::nullopt);
        EXPECT_FALSE(f->pe.measured) << "seed " << seed << ": " << f->pe.periodSec << " s, "
                                     << f->pe.peakToPeakArcsec << " arcsec";
        EXPECT_NEAR(f->ra.driftPerMin, 3, 0.1);
    }

    SyntheticRun shortWorm;
    shortWorm.pePeriod = 100;
    shortWorm.durationSec = 240;
    const auto worm = analyseAssistantRun(shortWorm.samples(), std::nullopt);
    ASSERT_TRUE(worm->pe.measured) << worm->pe.note.toStdString();
    EXPECT_NEAR(worm->pe.periodSec, 100, 3);
}

// A bad centroid or a lost frame between two good ones does not count as seeing.
TEST(AssistantAnalysis, SeeingIgnoresLostFramesAndBadCentroids) {
    SyntheticRun still;
    still.peAmplitude = 0;
    still.durationSec = 600;
    auto samples = still.samples();
    samples[20].raArcsec += 25;
    samples[40].found = false;
    samples[40].decArcsec = -60;
    EXPECT_NEAR(frameToFrameRms(samples, false), 0.4, 0.06);
    EXPECT_NEAR(frameToFrameRms(samples, true), 0.3, 0.05);
    EXPECT_EQ(frameToFrameRms({samples[0]}, false), 0);
    EXPECT_FALSE(analyseAssistantRun({samples[0], samples[1]}, std::nullopt));
}

// Seeing against a slowly moving mount asks for long exposures, a fast one for short ones; the
// minimum move follows the seeing but never drops below 0.1 arcsec; prediction needs data.
TEST(AssistantAdviceTest, ExposureLawAndMinimumMoveFollowTheFigures) {
    AssistantFigures f;
    f.durationSec = 300;
    f.frames = 150;
    f.ra = {1.2, 0.5, 1.3, 1.2};
    f.dec = {1.0, 0.3, 1.1, 1.0};
    const AssistantAdvice calm = adviseAssistant(f, 1, 20);
    EXPECT_EQ(calm.exposureMs, 20000); // 0.6 arcsec / (0.5 arcsec/min) is well past 20 s
    EXPECT_EQ(calm.law, "Predictive");
    EXPECT_NEAR(calm.raMinMoveArcsec, 1.2, 1e-9);
    EXPECT_NEAR(calm.standardMinCorrectionArcsec, 1.8, 1e-9);
    EXPECT_LT(calm.standardAggressiveness, 100);
    EXPECT_GE(calm.standardAggressiveness, 50);

    f.pe = {true, 480, 30, 0, 0, {}};
    const AssistantAdvice swinging = adviseAssistant(f, 1, 20);
    EXPECT_EQ(swinging.exposureMs, 3000); // 0.6 / (0.5 / 60 + pi x 30 / 480) = 2.9 s
    EXPECT_EQ(swinging.standardAggressiveness, 80);

    f.ra.driftPerMin = 600;
    EXPECT_EQ(adviseAssistant(f, 1, 20).exposureMs, 1000);

    f.ra.seeingRms = f.dec.seeingRms = 0.01;
    EXPECT_NEAR(adviseAssistant(f, 1, 20).decMinMoveArcsec, 0.1, 1e-9);

    f.lostFrames = 40;
    EXPECT_EQ(adviseAssistant(f, 1, 20).law, "Hysteresis");
    f.lostFrames = 0;
    f.frames = 10;
    const AssistantAdvice few = adviseAssistant(f, 1, 20);
    EXPECT_EQ(few.law, "Hysteresis");
    EXPECT_FALSE(few.lawReason.isEmpty());
}
