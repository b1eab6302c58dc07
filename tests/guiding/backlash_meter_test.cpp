#include "guiding/assistant/backlash_meter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
// A Dec axis with play between the gear the pulses turn and the load that carries the star:
// the load moves only when the gear pushes it, so after motion one way `playMs` of pulse time
// the other way go by before it moves back. Places along North, frame pixels.
struct DecAxis {
    double speedPxPerSec = 10;
    double playMs = 0;
    // Backlash time the guide output adds to a pulse that reverses the axis, ms.
    double outputExtraMs = 0;
    double gear = 0, load = 0;
    GuideDirection last = guideSouth;

    DecAxis(double play, double extra) : playMs(play), outputExtraMs(extra) {
        gear = -playPx() / 2; // half way through the play
    }
    double playPx() const { return speedPxPerSec * playMs / 1000; }
    // The pulse's length as the output sent it.
    double pulse(GuideDirection d, double ms) {
        const double sent = ms + (d != last ? outputExtraMs : 0);
        last = d;
        gear += speedPxPerSec * sent / 1000 * (d == guideNorth ? 1 : -1);
        load = std::clamp(load, gear, gear + playPx());
        return sent;
    }
};

// The camera turned 30 degrees, the star drifting, each frame with its own seeing.
struct Sky {
    QPointF north{std::sin(std::numbers::pi / 6), -std::cos(std::numbers::pi / 6)};
    QPointF driftPxPerSec{0.02, -0.01};
    double seeingPx = 0.15;
    std::mt19937 random{5};

    QPointF place(const DecAxis& axis, double t) {
        std::normal_distribution<double> n(0, seeingPx);
        return QPointF(300, 200) + north * axis.load + driftPxPerSec * t +
               QPointF(n(random), n(random));
    }
};

struct Measured {
    BacklashMeter meter;
    int pulses = 0;
};

// Runs the meter one frame every 2 s until it ends.
void measure(Measured& m, DecAxis& axis, Sky& sky, double speedPxPerSec = 10) {
    const auto plan = planBacklash(speedPxPerSec, sky.seeingPx, 24, sky.driftPxPerSec);
    ASSERT_TRUE(plan);
    m.meter.start(*plan);
    for (double t = 0; m.meter.running() && t < 1000; t += 2) {
        const auto request = m.meter.next(t, sky.place(axis, t));
        if (!request)
            continue;
        ++m.pulses;
        m.meter.sent(true, axis.pulse(request->direction, request->ms));
    }
}
} // namespace

// The line through the moving places, followed back to the resting level.
TEST(BacklashMeterTest, LostMotionIsWhereTheMovingLineLeavesTheRest) {
    // 0.02 px per ms once 350 ms have gone by; steps of 100 ms, a full step 2 px.
    const std::vector<double> sent{0, 100, 200, 300, 400, 500, 600, 700};
    const std::vector<double> s{0, 0, 0, 0, 1, 3, 5, 7};
    const auto ms = lostMotionMs(s, sent, 2);
    ASSERT_TRUE(ms);
    EXPECT_NEAR(*ms, 350, 1e-6);
    EXPECT_FALSE(lostMotionMs({0, 0, 0, 1, 0, 1}, {0, 100, 200, 300, 400, 500}, 2));
    EXPECT_NEAR(*lostMotionMs({0, 2, 4, 6}, {0, 100, 200, 300}, 2), 0, 1e-6);
}

// Through noise, drift and a turned camera, the play is measured whatever its size, also when
// the guide output lengthens the first South pulse by backlash time of its own.
TEST(BacklashMeterTest, MeasuresThePlayOfTheDecAxis) {
    for (const double play : {0.0, 700.0, 2500.0})
        for (const double extra : {0.0, 300.0}) {
            DecAxis axis(play, extra);
            Sky sky;
            Measured m;
            ASSERT_NO_FATAL_FAILURE(measure(m, axis, sky));
            ASSERT_TRUE(m.meter.result()) << m.meter.failure().toStdString();
            EXPECT_FALSE(m.meter.result()->atLeast);
            EXPECT_NEAR(m.meter.result()->ms, play, 50) << "play " << play << " extra " << extra;
            EXPECT_TRUE(m.meter.failure().isEmpty());
            EXPECT_LT(m.pulses, 40);
        }
}

// A star that never moves North, a lost star, a pulse that did not go out: no result, and why.
TEST(BacklashMeterTest, FailsWithoutMotionOrStar) {
    DecAxis stuck(0, 0);
    stuck.speedPxPerSec = 0;
    Sky sky;
    Measured m;
    measure(m, stuck, sky);
    EXPECT_FALSE(m.meter.result());
    EXPECT_TRUE(m.meter.failure().contains("North")) << m.meter.failure().toStdString();

    BacklashMeter lost;
    lost.start(*planBacklash(10, 0.1, 24, {}));
    ASSERT_TRUE(lost.next(0, {100, 100}));
    lost.starLost();
    EXPECT_FALSE(lost.running());
    EXPECT_FALSE(lost.result());
    EXPECT_FALSE(lost.next(2, {100, 100}));

    BacklashMeter refused;
    refused.start(*planBacklash(10, 0.1, 24, {}));
    ASSERT_TRUE(refused.next(0, {100, 100}));
    refused.sent(false, 0);
    EXPECT_FALSE(refused.running());
    EXPECT_FALSE(refused.failure().isEmpty());

    EXPECT_FALSE(planBacklash(0, 0.1, 24, {}));
    const auto plan = planBacklash(10, 2, 24, {}); // 10 px of seeing steps cut to 6 px
    EXPECT_EQ(plan->stepMs, 600);
}

namespace {
// A calibration's Dec legs on the axis: North `northSteps` steps, then South until the star is
// back within half a step of where North began (or 40 steps).
CalibrationPath calibrate(DecAxis& axis, Sky& sky, int32_t stepMs, int northSteps) {
    CalibrationPath path;
    double t = 0;
    path.north = {{sky.place(axis, t)}, stepMs};
    for (int k = 0; k < northSteps; ++k) {
        axis.pulse(guideNorth, stepMs);
        path.north.points.push_back(sky.place(axis, t += 2));
    }
    path.south = {{path.north.points.back()}, stepMs};
    const QPointF start = path.north.points.front();
    const double halfStep = axis.speedPxPerSec * stepMs / 2000;
    for (int k = 0; k < 40; ++k) {
        axis.pulse(guideSouth, stepMs);
        path.south.points.push_back(sky.place(axis, t += 2));
        if (QPointF::dotProduct(path.south.points.back() - start, sky.north) <= halfStep)
            break;
    }
    return path;
}
} // namespace

// The play shows in a calibration's South leg too; a leg that lost the star tells nothing.
TEST(BacklashMeterTest, TellsThePlayFromACalibration) {
    for (const double extra : {0.0, 200.0}) {
        DecAxis axis(1000, extra);
        Sky sky;
        sky.driftPxPerSec = {};
        const CalibrationPath path = calibrate(axis, sky, 300, 12);
        const auto b = backlashFromCalibration(path, extra);
        ASSERT_TRUE(b) << "extra " << extra;
        EXPECT_NEAR(b->ms, 1000, 60) << "extra " << extra;
    }
    DecAxis axis(1000, 0);
    Sky sky;
    CalibrationPath path = calibrate(axis, sky, 300, 12);
    path.south.points[2] = QPointF(0, 0);
    EXPECT_FALSE(backlashFromCalibration(path, 0));
    EXPECT_FALSE(backlashFromCalibration(CalibrationPath{}, 0));
}
