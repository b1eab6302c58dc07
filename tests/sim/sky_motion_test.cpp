#include "frame_measure.h"
#include "sim/sky_simulator.h"

#include <QLineF>
#include <gtest/gtest.h>

namespace {

constexpr double kScale = 0.80214;

// A still sky (no drift, no periodic error) so only pulses move the field, and a bright star
// without read noise so a single frame's centroid is good to a few hundredths of a pixel.
SkyOptions still() {
    SkyOptions o;
    o.raDrift = o.decDrift = o.peAmplitude = 0;
    o.starBrightness = 200;
    o.noise = 0;
    return o;
}

struct Moved {
    QPointF truth;    // change of the model position
    QPointF measured; // change of the centroid, each frame's seeing jitter taken out
};

// Renders before and after `act` and reports how the guide star moved.
template <class Act> Moved movedBy(SkySimulator& sky, Act act) {
    auto measure = [&] {
        const uint64_t n = sky.framesRendered();
        const QImage frame = sky.render();
        const QPointF jitter = sky.guideStarPositionWithJitter(n) - sky.guideStarPosition();
        return centroid(frame, sky.guideStarPositionWithJitter(n), 4, medianLevel(frame)) - jitter;
    };
    const QPointF before = sky.guideStarPosition();
    const QPointF seenBefore = measure();
    act();
    return {sky.guideStarPosition() - before, measure() - seenBefore};
}

void expectNear(QPointF actual, QPointF expected, double tolerance, const char* what) {
    EXPECT_LT(QLineF(actual, expected).length(), tolerance)
        << what << ": (" << actual.x() << ", " << actual.y() << ") expected (" << expected.x()
        << ", " << expected.y() << ")";
}

} // namespace

TEST(SkyMotion, PulsesMoveTheFieldByRateTimesDurationInTheirDirection) {
    const double px = 15 * 0.8 / kScale;                               // 800 ms at 15 arcsec/s
    const QPointF expected[] = {{0, -px}, {0, px}, {px, 0}, {-px, 0}}; // N, S, E, W
    for (int direction = 0; direction < 4; ++direction) {
        SkySimulator sky(still(), std::make_shared<ManualSimClock>());
        const Moved m = movedBy(sky, [&] { sky.pulse(direction, 800); });
        expectNear(m.truth, expected[direction], 1e-9, "model");
        expectNear(m.measured, expected[direction], 0.15, "centroid");
    }
}

TEST(SkyMotion, IgnoresEmptyPulsesAndUnknownDirections) {
    SkySimulator sky(still(), std::make_shared<ManualSimClock>());
    const QPointF start = sky.guideStarPosition();
    for (auto [direction, ms] : {std::pair{0, 0}, {2, -500}, {4, 500}, {-1, 500}})
        sky.pulse(direction, ms);
    EXPECT_EQ(sky.guideStarPosition(), start);
}

TEST(SkyMotion, DriftsAndSwingsWithThePeriodicErrorOverTime) {
    auto clock = std::make_shared<ManualSimClock>();
    SkyOptions o = still();
    o.raDrift = 6;
    o.decDrift = 2;
    SkySimulator sky(o, clock);
    const QPointF start = sky.guideStarPosition();
    clock->set(60);
    expectNear(sky.guideStarPosition() - start, {6 / kScale, -2 / kScale}, 1e-9, "a minute");
    // A new rate applies from now on without a jump.
    o.raDrift = 0;
    sky.setOptions(o);
    const QPointF atMinute = sky.guideStarPosition();
    clock->set(120);
    expectNear(sky.guideStarPosition() - atMinute, {0, -2 / kScale}, 1e-9, "after change");

    o = still();
    o.peAmplitude = 8;
    o.pePeriod = 480;
    clock->set(0);
    SkySimulator worm(o, clock);
    const QPointF zero = worm.guideStarPosition();
    // Main sine plus a quarter-amplitude second harmonic, in RA only.
    for (auto [t, arcsec] : {std::pair{60.0, 8 * (std::sqrt(0.5) + 0.25)},
                             {120.0, 8.0},
                             {240.0, 0.0},
                             {360.0, -8.0},
                             {480.0, 0.0}}) {
        clock->set(t);
        expectNear(worm.guideStarPosition() - zero, {arcsec / kScale, 0}, 1e-9, "worm");
    }
}

TEST(SkyMotion, SmallFramesShowTheSameCentredField) {
    for (uint32_t seed : {1u, 2u, 77u, 1006u}) {
        SkyOptions o;
        o.seed = seed;
        SkySimulator sky(o, std::make_shared<ManualSimClock>());
        const QPointF large = sky.guideStarPosition() - QPointF(320, 240);
        sky.setFrameSize({320, 240});
        const QPointF small = sky.guideStarPosition();
        expectNear(small - QPointF(160, 120), large, 1e-9, "centred");
        EXPECT_TRUE(QRectF(20, 20, 280, 200).contains(small)) << seed;
        const QImage frame = sky.render();
        EXPECT_EQ(frame.size(), QSize(320, 240));
        EXPECT_LT(QLineF(brightestPixel(frame), small).length(), 2.0) << seed;
    }
}
