#include "guiding/corrections.h"

#include <gtest/gtest.h>
#include <limits>

namespace {
CorrectionSettings settings() {
    CorrectionSettings s;
    s.arcsecPerPixelX = 0.8;
    s.arcsecPerPixelY = 0.8;
    s.minCorrection = 2.5f;
    s.maxCorrection = 10.0f;
    s.raGuideRate = 30.0f;
    s.decGuideRate = 30.0f;
    s.decCorrect = true;
    s.aggressiveness = 1.0;
    return s;
}

void expectPulse(const std::optional<PulseRequest>& pulse, GuideDirection direction, int32_t ms) {
    ASSERT_TRUE(pulse.has_value());
    EXPECT_EQ(pulse->direction, direction);
    EXPECT_EQ(pulse->ms, ms);
}
} // namespace

TEST(Corrections, LengthsAreTruncatedAndLargeErrorsCappedNotSkipped) {
    const CorrectionSettings s = settings();
    expectPulse(computeCorrections(-5.0f, 0.0f, s).ra, guideWest, 133);  // 133.33
    expectPulse(computeCorrections(-20.0f, 0.0f, s).ra, guideWest, 333); // 16" capped to 10"
    expectPulse(computeCorrections(1000.0f, 0.0f, s).ra, guideEast, 333);
    // 5.025" / 30 = 167.5 ms: truncated to 167, not rounded to 168.
    expectPulse(computeCorrections(6.28125f, 0.0f, s).ra, guideEast, 167);
    CorrectionSettings slow = s;
    slow.raGuideRate = 7.5f; // 4" / 7.5 = 533.33 ms
    expectPulse(computeCorrections(5.0f, 0.0f, slow).ra, guideEast, 533);
}

TEST(Corrections, AnErrorOfExactlyTheMinimumIsCorrectedJustBelowIsNot) {
    CorrectionSettings s = settings();
    s.arcsecPerPixelX = 0.5;
    s.arcsecPerPixelY = 0.5;
    const Corrections at = computeCorrections(5.0f, -5.0f, s); // exactly 2.5"
    expectPulse(at.ra, guideEast, 83);
    expectPulse(at.dec, guideNorth, 83);
    const Corrections below = computeCorrections(4.99f, -4.99f, s);
    EXPECT_FALSE(below.ra.has_value());
    EXPECT_FALSE(below.dec.has_value());
    EXPECT_FALSE(below.raRateInvalid);
    EXPECT_FALSE(below.decRateInvalid);
}

TEST(Corrections, ZeroErrorWithZeroMinimumSendsAZeroLengthPulse) {
    CorrectionSettings s = settings();
    s.minCorrection = 0.0f;
    expectPulse(computeCorrections(0.0f, 0.0f, s).ra, guideEast, 0);
    expectPulse(computeCorrections(0.0f, 0.0f, s).dec, guideSouth, 0);
    s.reverseEW = true;
    s.reverseNS = true;
    expectPulse(computeCorrections(0.0f, 0.0f, s).ra, guideWest, 0);
    expectPulse(computeCorrections(0.0f, 0.0f, s).dec, guideNorth, 0);
}

TEST(Corrections, AggressivenessScalesTheTruncatedLength) {
    CorrectionSettings s = settings();
    s.aggressiveness = 0.5;
    expectPulse(computeCorrections(-5.0f, 0.0f, s).ra, guideWest, 66); // 66.67
    s.aggressiveness = 1.5;
    expectPulse(computeCorrections(-5.0f, 0.0f, s).ra, guideWest, 200); // 200.0000x
    expectPulse(computeCorrections(-20.0f, 0.0f, s).ra, guideWest, 500);
    s.aggressiveness = 1.2;
    expectPulse(computeCorrections(-5.0f, 0.0f, s).ra, guideWest, 160);
}

TEST(Corrections, DecUsesItsOwnScaleAndRateOnlyWhenEnabled) {
    CorrectionSettings s = settings();
    s.arcsecPerPixelY = 1.6;
    s.decGuideRate = 15.0f;
    const Corrections both = computeCorrections(-5.0f, 5.0f, s); // Dec: 8" / 15 = 533.3 ms
    expectPulse(both.ra, guideWest, 133);
    expectPulse(both.dec, guideSouth, 533);
    expectPulse(computeCorrections(0.0f, -2.0f, s).dec, guideNorth, 213); // 3.2" / 15
    s.decCorrect = false;
    const Corrections raOnly = computeCorrections(-5.0f, 5.0f, s);
    expectPulse(raOnly.ra, guideWest, 133);
    EXPECT_FALSE(raOnly.dec.has_value());
    s.decGuideRate = 0.0f;
    EXPECT_FALSE(computeCorrections(-5.0f, 5.0f, s).decRateInvalid);
}

TEST(Corrections, ReverseSwitchesTurnEachAxisOnItsOwn) {
    CorrectionSettings s = settings();
    s.reverseEW = true;
    Corrections c = computeCorrections(5.0f, 5.0f, s);
    expectPulse(c.ra, guideWest, 133);
    expectPulse(c.dec, guideSouth, 133);
    expectPulse(computeCorrections(-5.0f, -5.0f, s).ra, guideEast, 133);
    s.reverseEW = false;
    s.reverseNS = true;
    c = computeCorrections(5.0f, 5.0f, s);
    expectPulse(c.ra, guideEast, 133);
    expectPulse(c.dec, guideNorth, 133);
    expectPulse(computeCorrections(-5.0f, -5.0f, s).dec, guideSouth, 133);
}

TEST(Corrections, AnUnusableGuideRateFlagsOnlyAnAxisThatNeedsCorrecting) {
    CorrectionSettings s = settings();
    for (float bad : {0.0f, -30.0f, std::numeric_limits<float>::infinity(),
                      std::numeric_limits<float>::quiet_NaN()}) {
        s.raGuideRate = bad;
        const Corrections c = computeCorrections(-5.0f, 5.0f, s);
        EXPECT_FALSE(c.ra.has_value()) << bad;
        EXPECT_TRUE(c.raRateInvalid) << bad;
        expectPulse(c.dec, guideSouth, 133);
        EXPECT_FALSE(c.decRateInvalid);
        EXPECT_FALSE(computeCorrections(-1.0f, 5.0f, s).raRateInvalid) << bad; // below minimum
    }
    s = settings();
    s.decGuideRate = -1.0f;
    const Corrections c = computeCorrections(-5.0f, 5.0f, s);
    expectPulse(c.ra, guideWest, 133);
    EXPECT_FALSE(c.dec.has_value());
    EXPECT_TRUE(c.decRateInvalid);
}

TEST(Corrections, ExtremeInputsStayWithinRange) {
    CorrectionSettings s = settings();
    s.maxCorrection = std::numeric_limits<float>::max();
    s.raGuideRate = 1e-30f;
    expectPulse(computeCorrections(-5.0f, 0.0f, s).ra, guideWest,
                std::numeric_limits<int32_t>::max());
    const Corrections nan = computeCorrections(std::numeric_limits<float>::quiet_NaN(),
                                               std::numeric_limits<float>::infinity(), s);
    EXPECT_FALSE(nan.ra.has_value());
    EXPECT_FALSE(nan.dec.has_value());
}
