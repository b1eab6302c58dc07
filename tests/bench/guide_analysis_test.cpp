// The INDI guiding bench's figures from guide records: errors along the calibrated axes and
// the fit of how much of each pulse shows in the frames after it.

#include "guide_analysis.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
QPointF unitAt(double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {std::cos(a), std::sin(a)};
}

Calibration calibrationOf(double raAngle, double decAngle, bool hasDec) {
    Calibration c;
    c.raAngle = raAngle;
    c.raSpeed = 5.3;
    c.hasDec = hasDec;
    c.decAngle = decAngle;
    c.decSpeed = 4.1;
    c.arcsecPerPixelX = c.arcsecPerPixelY = 1.19;
    return c;
}

// A mount whose pulses show `next` of their move in the frame after them and `after` in the
// one after that, drifting driftPx along RA and Dec each frame: n records with random pulses.
// Record `lost` (if any) missed the star.
struct LagCase {
    const char* name;
    double raAngle, decAngle;
    bool hasDec;
    double next, after;
    QPointF driftPx; // RA, Dec per frame
};

std::vector<GuideRecord> recordsOf(const LagCase& t, const Calibration& c, int n, int lost) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> ms(0, 900), side(0, 1);
    const QPointF ra = unitAt(t.raAngle), dec = unitAt(t.decAngle);
    std::vector<GuideRecord> records;
    QPointF star(400, 300), move, previousMove; // moves in frame pixels
    for (int k = 0; k < n; ++k) {
        GuideRecord r;
        r.found = k != lost;
        if (r.found) {
            r.starX = static_cast<float>(star.x());
            r.starY = static_cast<float>(star.y());
        }
        // No pulse follows a lost star.
        const int raMs = r.found ? ms(random) : 0, decMs = r.found ? ms(random) : 0;
        const bool east = side(random), north = side(random);
        if (r.found) {
            r.raPulse = PulseRequest{east ? guideEast : guideWest, raMs};
            if (t.hasDec)
                r.decPulse = PulseRequest{north ? guideNorth : guideSouth, decMs};
        }
        move = ra * (east ? 1 : -1) * c.raSpeed * raMs / 1000.0;
        if (t.hasDec)
            move += dec * (north ? 1 : -1) * c.decSpeed * decMs / 1000.0;
        const QPointF drift = ra * t.driftPx.x() + (t.hasDec ? dec : QPointF()) * t.driftPx.y();
        star += t.next * move + t.after * previousMove + drift;
        previousMove = move;
        records.push_back(r);
    }
    return records;
}
} // namespace

TEST(GuideAnalysis, FitsTheShareOfEachPulseSeenInTheNextFramesAndTheDrift) {
    const LagCase cases[] = {
        {"at once, square axes", 90, 0, true, 1, 0, {0.02, -0.01}},
        {"a frame late", 90, 0, true, 0.1, 0.9, {0.02, 0}},
        {"half and half, axes 70 deg apart", 200, 130, true, 0.5, 0.5, {-0.05, 0.03}},
        {"RA only", 33, 0, false, 0.8, 0.2, {0.01, 0}},
    };
    for (const LagCase& t : cases) {
        SCOPED_TRACE(t.name);
        const Calibration c = calibrationOf(t.raAngle, t.decAngle, t.hasDec);
        const PulseLag lag = fitPulseLag(recordsOf(t, c, 60, 30), c);
        ASSERT_TRUE(lag.ra);
        // Star places are floats: 1e-5 px near 400 px.
        // Three records in a row are needed: the lost one spoils three of the 58 runs.
        EXPECT_EQ(lag.ra->samples, 55);
        EXPECT_NEAR(lag.ra->nextFrame, t.next, 1e-3);
        EXPECT_NEAR(lag.ra->frameAfter, t.after, 1e-3);
        EXPECT_NEAR(lag.ra->driftPx, t.driftPx.x(), 1e-3);
        EXPECT_NEAR(lag.ra->residualPx, 0, 1e-3);
        ASSERT_EQ(lag.dec.has_value(), t.hasDec);
        ASSERT_EQ(lag.both.has_value(), t.hasDec);
        if (!t.hasDec)
            continue;
        EXPECT_NEAR(lag.dec->nextFrame, t.next, 1e-3);
        EXPECT_NEAR(lag.dec->frameAfter, t.after, 1e-3);
        EXPECT_NEAR(lag.dec->driftPx, t.driftPx.y(), 1e-3);
        EXPECT_NEAR(lag.both->nextFrame, t.next, 1e-3);
        EXPECT_NEAR(lag.both->frameAfter, t.after, 1e-3);
        EXPECT_EQ(lag.both->samples, 110);
    }
}

TEST(GuideAnalysis, NoLagFitWithoutPulses) {
    const Calibration c = calibrationOf(90, 0, true);
    std::vector<GuideRecord> records(20);
    for (size_t k = 0; k < records.size(); ++k) {
        records[k].found = true;
        records[k].starX = 100 + 0.1f * static_cast<float>(k);
    }
    const PulseLag lag = fitPulseLag(records, c);
    EXPECT_FALSE(lag.ra);
    EXPECT_FALSE(lag.dec);
    EXPECT_FALSE(lag.both);
}

// Errors are taken along the calibrated axes, which need not be square; lost stars are only
// counted; pulses of 0 ms are no pulses.
TEST(GuideAnalysis, ErrorsAlongTheCalibratedAxes) {
    const struct {
        const char* name;
        Calibration c;
    } cases[] = {
        {"square", calibrationOf(90, 0, true)},
        {"70 deg apart", calibrationOf(200, 130, true)},
        {"no Dec axis", calibrationOf(33, 0, false)},
    };
    const double raErrors[] = {1, -2, 3, 0.5};
    const double decErrors[] = {-0.5, 0.5, 1.5, -1.5};
    for (const auto& t : cases) {
        SCOPED_TRACE(t.name);
        const MountAxes axes = mountAxesOf(t.c);
        std::vector<GuideRecord> records;
        for (size_t i = 0; i < 4; ++i) {
            GuideRecord r;
            r.found = true;
            const QPointF e = axes.ra * raErrors[i] + axes.dec * decErrors[i];
            r.raPx = e.x();
            r.decPx = e.y();
            r.raPulse = PulseRequest{guideEast, static_cast<int32_t>(100 * i)};
            r.decPulse = PulseRequest{guideSouth, 300};
            records.push_back(r);
        }
        records.push_back(GuideRecord{}); // a lost star
        const GuideFigures f = guideFigures(records, axes);
        EXPECT_EQ(f.cycles, 4);
        EXPECT_EQ(f.lost, 1);
        EXPECT_NEAR(f.ra.rms, std::sqrt((1 + 4 + 9 + 0.25) / 4), 1e-9);
        EXPECT_NEAR(f.ra.mean, 0.625, 1e-9);
        EXPECT_NEAR(f.ra.maxAbs, 3, 1e-9);
        EXPECT_NEAR(f.dec.rms, std::sqrt((0.25 + 0.25 + 2.25 + 2.25) / 4), 1e-9);
        EXPECT_NEAR(f.dec.mean, 0, 1e-9);
        EXPECT_NEAR(f.totalPx(), std::hypot(f.ra.rms, f.dec.rms), 1e-9);
        EXPECT_NEAR(f.totalArcsec(), 1.19 * f.totalPx(), 1e-9);
        EXPECT_EQ(f.raPulses, 3);
        EXPECT_NEAR(f.raPulseMs, 200, 1e-9);
        EXPECT_EQ(f.decPulses, 4);
    }
}

TEST(GuideAnalysis, LeastSquaresRefusesWhatCannotBeSolved) {
    EXPECT_FALSE(leastSquares({{1, 2}}, {3}));                       // fewer rows than unknowns
    EXPECT_FALSE(leastSquares({{1, 2}, {2, 4}, {3, 6}}, {1, 2, 3})); // dependent columns
    const auto x = leastSquares({{1, 0}, {0, 1}, {1, 1}}, {1, 2, 3.3});
    ASSERT_TRUE(x);
    // The best fit spreads the 0.3 misfit of the third row over both unknowns.
    EXPECT_NEAR((*x)[0], 1.1, 1e-9);
    EXPECT_NEAR((*x)[1], 2.1, 1e-9);
}
