#include "guiding/law_corrections.h"
#include "guiding/laws/backlash_comp.h"
#include "guiding/laws/guide_law.h"
#include "guiding/laws/periodic_fit.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
// A mount whose own error at t is motion(t) plus white seeing, guided by `law` in closed loop
// (a move shows from the next frame). The rms error after the first `settle` frames.
template <typename Motion>
double closedLoopRms(GuideLaw& law, Motion motion, double seeing, int frames, int settle = 60) {
    std::mt19937 rng(7);
    std::normal_distribution<double> noise(0, seeing);
    double moved = 0, sumSq = 0;
    for (int k = 0; k < frames; ++k) {
        const double t = 2.0 * k;
        const double err = motion(t) + noise(rng) - moved;
        if (k >= settle)
            sumSq += err * err;
        const double move = law.frame(t, err);
        law.sent(move);
        moved += move;
    }
    return std::sqrt(sumSq / (frames - settle));
}

std::unique_ptr<GuideLaw> law(const char* name) {
    return makeGuideLaw(QString::fromLatin1(name));
}
} // namespace

// The hysteresis law keeps a share of its previous move, makes none below its minimum, and
// refuses parameters out of range without changing anything.
TEST(GuideLaws, HysteresisKeepsAShareOfThePreviousMove) {
    const auto h = law("Hysteresis");
    EXPECT_EQ(h->frame(0, 0.1), 0.0); // under the 0.2" minimum
    const double first = h->frame(1, 1.0);
    EXPECT_NEAR(first, 0.63, 1e-9); // (0.9 x 1) x 70%
    h->sent(first);
    EXPECT_NEAR(h->frame(2, 1.0), (0.9 + 0.1 * 0.63) * 0.7, 1e-9);
    EXPECT_FALSE(h->setParam(QStringLiteral("Hysteresis"), 100));
    EXPECT_FALSE(h->setParam(QStringLiteral("Speed"), 1));
    EXPECT_TRUE(h->setParam(QStringLiteral("Minimum Move"), 2));
    EXPECT_EQ(h->frame(3, 1.5), 0.0);
}

// A steady drift under seeing: the predictive law learns the drift and holds the star near the
// seeing's own scatter; the standard law's dead band lets the star wander across it.
TEST(GuideLaws, PredictiveFollowsADriftToTheSeeingFloor) {
    const auto drift = [](double t) { return 0.05 * t; }; // 3"/min
    const auto predictive = law("Predictive");
    const auto standard = law("Standard");
    const double p = closedLoopRms(*predictive, drift, 0.3, 600);
    EXPECT_LT(p, 0.36);
    EXPECT_LT(p, closedLoopRms(*standard, drift, 0.3, 600));
}

// A periodic error much larger than the seeing: once its period is learnt, the predictive law
// moves with it instead of after it, and beats the best a plain proportional law does.
TEST(GuideLaws, PredictiveLearnsAPeriodicError) {
    const auto pe = [](double t) {
        return 4 * std::sin(2 * std::numbers::pi * t / 200) +
               1.5 * std::sin(4 * std::numbers::pi * t / 200 + 1);
    };
    const auto predictive = law("Predictive");
    const double p = closedLoopRms(*predictive, pe, 0.25, 900, 400);
    double bestHysteresis = INFINITY;
    for (double a : {50.0, 70.0, 90.0, 100.0}) {
        const auto h = law("Hysteresis");
        h->setParam(QStringLiteral("Aggressiveness"), a);
        h->setParam(QStringLiteral("Minimum Move"), 0);
        bestHysteresis = std::min(bestHysteresis, closedLoopRms(*h, pe, 0.25, 900, 400));
    }
    EXPECT_LT(p, 0.85 * bestHysteresis);
}

// A single wild frame (a gust) is not chased in full; a jump that stays is followed on the next
// frame; an offset the guider announces (a dither) is followed at once.
TEST(GuideLaws, PredictiveHoldsBackFromOneWildFrameButFollowsJumps) {
    const auto p = law("Predictive");
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, 0.2);
    double t = 0, moved = 0, level = 0;
    // The law's move for the star `level` off (plus seeing), sent in full.
    const auto frame = [&](double extra = 0) {
        t += 2;
        const double move = p->frame(t, level + extra + noise(rng) - moved);
        p->sent(move);
        moved += move;
        return move;
    };
    for (int k = 0; k < 40; ++k)
        frame();
    const double before = moved;
    EXPECT_LT(std::fabs(frame(5.0)), 3.5); // a gust of one frame
    frame();
    frame();
    EXPECT_NEAR(moved, before, 0.6); // and back
    level = 5;
    frame();
    frame();
    EXPECT_NEAR(moved - before, 5, 1.0); // a jump that stays
    frame();
    p->targetMoved(3.0);
    level += 3;
    EXPECT_NEAR(frame(), 3.0, 1.0);
}

// A periodic error with a drift and noise: its period is found; white noise has none.
TEST(PeriodicFit, FindsThePeriodOnlyWhereThereIsOne) {
    std::mt19937 rng(5);
    std::normal_distribution<double> noise(0, 0.3);
    std::vector<double> t, g, flat;
    for (int k = 0; k < 600; ++k) {
        t.push_back(1000 + 2.0 * k);
        g.push_back(2 * std::sin(2 * std::numbers::pi * t.back() / 300) + 0.01 * k + noise(rng));
        flat.push_back(noise(rng));
    }
    const auto fit = fitPeriodic(t, g, 40, 1200, 0.2);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->period, 300, 10);
    const auto sine = [](double at) { return 2 * std::sin(2 * std::numbers::pi * at / 300); };
    for (double at : {1075.0, 1150.0, 1225.0})
        EXPECT_NEAR(fit->at(at) - fit->at(1000), sine(at) - sine(1000), 0.3);
    EXPECT_FALSE(fitPeriodic(t, flat, 40, 1200, 0.2).has_value());
}

// A law's history of an hour at 2 s is searched in averages of several frames, but the model
// it predicts with keeps the harmonics those averages blur: here the fourth of a 100 s worm.
TEST(PeriodicFit, ALongHistoryKeepsTheShortHarmonics) {
    const auto worm = [](double at) {
        const double phase = 2 * std::numbers::pi * at / 100;
        return 3 * std::sin(phase) + 1.5 * std::sin(4 * phase + 1);
    };
    std::mt19937 rng(8);
    std::normal_distribution<double> noise(0, 0.2);
    std::vector<double> t, g;
    for (int k = 0; k < 1800; ++k) {
        t.push_back(2.0 * k);
        g.push_back(worm(t.back()) + noise(rng));
    }
    const auto fit = fitPeriodic(t, g, 40, 1200, 0.2);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->period, 100, 0.5);
    ASSERT_GE(fit->cosine.size(), 4u);
    for (double at : {3600.0, 3606.0, 3612.0, 3618.0})
        EXPECT_NEAR(fit->at(at) - fit->at(3590), worm(at) - worm(3590), 0.15) << at;
}

// Beside the period and its harmonics the search reports the line fitted with them, the scatter
// of every sample (not of the averages it fits) about both, the wave's size from crest to trough,
// and how far the wave stands out of the noise; a wave longer than the samples can tell lies at
// the longest period tried. It works from fewer samples than a Predictive refit wants.
TEST(PeriodicFit, SearchReportsLineScatterSizeAndWhetherTheWaveIsReal) {
    const auto wave = [](double t, double period) {
        const double phase = 2 * std::numbers::pi * t / period;
        return 3 * std::sin(phase) + std::cos(2 * phase);
    };
    std::mt19937 rng(3);
    std::normal_distribution<double> noise(0, 0.5);
    std::vector<double> t, g, flat, slow;
    for (int k = 0; k < 600; ++k) {
        t.push_back(500 + 2.0 * k);
        const double line = 4 + 0.02 * t.back();
        g.push_back(line + wave(t.back(), 240) + noise(rng));
        flat.push_back(line + noise(rng));
        slow.push_back(line + wave(t.back(), 2400) + noise(rng));
    }
    const auto fit = searchPeriodic(t, g, 60, 900);
    ASSERT_TRUE(fit.has_value());
    EXPECT_NEAR(fit->model.period, 240, 2);
    EXPECT_NEAR(fit->slope, 0.02, 5e-4);
    for (double at : {600.0, 1111.0})
        EXPECT_NEAR(fit->offset + fit->slope * at + fit->model.at(at),
                    4 + 0.02 * at + wave(at, 240), 0.2);
    EXPECT_NEAR(fit->residualRms, 0.5, 0.04);
    double low = 0, high = 0;
    for (int k = 0; k < 3600; ++k) {
        low = std::min(low, wave(240.0 * k / 3600, 240));
        high = std::max(high, wave(240.0 * k / 3600, 240));
    }
    EXPECT_NEAR(fit->model.peakToPeak(), high - low, 0.3);
    EXPECT_GT(fit->share, 0.9);
    EXPECT_GT(fit->firstHarmonicSigmas, 50);
    EXPECT_FALSE(fit->atLongest);

    const auto noiseOnly = searchPeriodic(t, flat, 60, 900);
    ASSERT_TRUE(noiseOnly.has_value());
    EXPECT_LT(noiseOnly->firstHarmonicSigmas, 4.5);
    EXPECT_LT(noiseOnly->share, 0.2);

    const auto tooSlow = searchPeriodic(t, slow, 60, 900);
    ASSERT_TRUE(tooSlow.has_value());
    EXPECT_TRUE(tooSlow->atLongest) << tooSlow->model.period;

    const std::vector<double> fewT(t.begin(), t.begin() + 36), fewG(g.begin(), g.begin() + 36);
    std::vector<double> fastWorm;
    for (double at : fewT)
        fastWorm.push_back(wave(at, 30));
    const auto few = searchPeriodic(fewT, fastWorm, 20, 900);
    ASSERT_TRUE(few.has_value());
    EXPECT_NEAR(few->model.period, 30, 0.5);
    EXPECT_FALSE(fitPeriodic(fewT, fastWorm, 20, 900, 0.2).has_value());
    EXPECT_FALSE(searchPeriodic(fewT, fewG, 60, 900).has_value()) << "70 s hold no 60 s period";
}

// A law's move becomes whole milliseconds at the axis rate, capped at the maximum correction, in
// the direction its sign says; a rate that is not positive gives no pulse and says so.
TEST(LawCorrections, TurnMovesIntoPulses) {
    CorrectionSettings s;
    s.arcsecPerPixelX = s.arcsecPerPixelY = 2;
    s.raGuideRate = s.decGuideRate = 7.5;
    s.maxCorrection = 10;
    s.decCorrect = true;
    s.reverseNS = true;
    const LawAxes axes = lawAxes(nullptr, 1.0f, 1.0f, s);
    EXPECT_DOUBLE_EQ(axes.ra.errArcsec, 2);
    EXPECT_EQ(axes.dec.positive, guideNorth); // reversed: a positive y error pulses North
    const AxisPulse east = lawPulse(1.0, axes.ra, s);
    ASSERT_TRUE(east.pulse);
    EXPECT_EQ(east.pulse->direction, guideEast);
    EXPECT_EQ(east.pulse->ms, 133);
    EXPECT_EQ(lawPulse(-50, axes.ra, s).pulse->ms, 1333); // capped at 10"
    EXPECT_FALSE(lawPulse(0.001, axes.ra, s).pulse);      // under a millisecond
    EXPECT_NEAR(pulseMove(east.pulse, axes.ra), 0.9975, 1e-9);
    LawAxis stopped = axes.ra;
    stopped.rateArcsecPerSec = 0;
    EXPECT_TRUE(lawPulse(1, stopped, s).rateInvalid);
}

// Extra time goes only on reversals; a reversal whose move fell short asks for more next time,
// one that went far past asks for less, and moves lost in the scatter change nothing.
TEST(BacklashCompensator, AdaptsToWhatReversalsShow) {
    BacklashCompensator comp(200);
    comp.frame(1.0);
    EXPECT_EQ(comp.extraMsFor(1.0), 0); // no direction known yet
    comp.sent(1.0, false);
    comp.frame(0.0);
    EXPECT_EQ(comp.extraMsFor(0.5), 0);
    ASSERT_EQ(comp.extraMsFor(-2.0), 200);
    comp.sent(-2.0, true);
    comp.frame(-0.2); // moved 0.2 of the 2 asked
    EXPECT_EQ(comp.ms(), 240);
    comp.sent(2.0, true);
    comp.frame(-5.0); // moved 4.8 of the 2 asked
    EXPECT_EQ(comp.ms(), 200);
    comp.sent(-0.01, true);
    comp.frame(-5.0); // too small a move to judge
    EXPECT_EQ(comp.ms(), 200);
}
