#include "guiding/corrections.h"

#include <functional>
#include <gtest/gtest.h>
#include <limits>

bool operator==(const PulseRequest& a, const PulseRequest& b) {
    return a.direction == b.direction && a.ms == b.ms;
}
void PrintTo(const PulseRequest& p, std::ostream* os) {
    *os << "direction " << p.direction << " " << p.ms << " ms";
}

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
    EXPECT_EQ(pulse, (PulseRequest{direction, ms}));
}
} // namespace

// Defaults: 0.8"/px, 2.5" to 10", 30"/s on both axes, Dec on. Lengths are truncated, then
// scaled by the aggressiveness; errors beyond the maximum are capped, not skipped.
TEST(Corrections, PulseDirectionsAndLengths) {
    struct Case {
        const char* what;
        std::function<void(CorrectionSettings&)> change;
        float errX, errY;
        std::optional<PulseRequest> ra, dec;
    };
    using S = CorrectionSettings&;
    const auto none = [](S) {};
    const auto fine = [](S s) { s.arcsecPerPixelX = s.arcsecPerPixelY = 0.5; };
    const auto noMin = [](S s) { s.minCorrection = 0; };
    const auto noMinReversed = [](S s) { s.minCorrection = 0, s.reverseEW = s.reverseNS = true; };
    const auto slowDec = [](S s) { s.arcsecPerPixelY = 1.6, s.decGuideRate = 15; };
    const auto decOff = [](S s) { s.decCorrect = false, s.decGuideRate = 0; };
    const auto W = [](int32_t ms) { return PulseRequest{guideWest, ms}; };
    const auto E = [](int32_t ms) { return PulseRequest{guideEast, ms}; };
    const auto N = [](int32_t ms) { return PulseRequest{guideNorth, ms}; };
    const auto So = [](int32_t ms) { return PulseRequest{guideSouth, ms}; };
    const std::optional<PulseRequest> no;
    const std::vector<Case> cases{
        {"133.33", none, -5, 0, W(133), no},
        {"16 capped to 10", none, -20, 0, W(333), no},
        {"far off", none, 1000, 0, E(333), no},
        {"167.5 truncated", none, 6.28125f, 0, E(167), no},
        {"slow rate", [](S s) { s.raGuideRate = 7.5f; }, 5, 0, E(533), no},
        {"exactly the minimum", fine, 5, -5, E(83), N(83)},
        {"just below", fine, 4.99f, -4.99f, no, no},
        {"zero minimum", noMin, 0, 0, E(0), So(0)},
        {"zero reversed", noMinReversed, 0, 0, W(0), N(0)},
        {"half", [](S s) { s.aggressiveness = 0.5; }, -5, 0, W(66), no},
        {"1.5", [](S s) { s.aggressiveness = 1.5; }, -5, 0, W(200), no},
        {"1.5 capped", [](S s) { s.aggressiveness = 1.5; }, -20, 0, W(500), no},
        {"1.2", [](S s) { s.aggressiveness = 1.2; }, -5, 0, W(160), no},
        {"Dec scale and rate", slowDec, -5, 5, W(133), So(533)},
        {"Dec off, its rate unused", decOff, -5, 5, W(133), no},
        {"EW reversed", [](S s) { s.reverseEW = true; }, 5, 5, W(133), So(133)},
        {"NS reversed", [](S s) { s.reverseNS = true; }, -5, -5, W(133), So(133)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CorrectionSettings s = settings();
        c.change(s);
        const Corrections k = computeCorrections(c.errX, c.errY, s);
        EXPECT_EQ(k.ra, c.ra);
        EXPECT_EQ(k.dec, c.dec);
        EXPECT_FALSE(k.raRateInvalid || k.decRateInvalid);
    }
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
