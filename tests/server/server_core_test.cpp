#include "engine/dither.h"
#include "measure/raw_sky.h"
#include "measure/star_choice.h"
#include "server/settle_params.h"

#include <QJsonObject>
#include <cmath>
#include <gtest/gtest.h>

namespace {
// A grey frame with Gaussian stars of the given peaks (clipped at 255) and a hot pixel.
QImage sky(const std::vector<std::tuple<double, double, double>>& stars) {
    QImage image(320, 240, QImage::Format_RGB32);
    uint32_t noise = 12345;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 320; ++x) {
            noise = noise * 1103515245u + 12345u;
            double v = 20 + static_cast<double>((noise >> 16) % 7);
            for (auto [sx, sy, peak] : stars)
                v +=
                    peak * std::exp(-((x - sx) * (x - sx) + (y - sy) * (y - sy)) / (2 * 1.5 * 1.5));
            const int g = std::min(255, static_cast<int>(v));
            image.setPixel(x, y, qRgb(g, g, g));
        }
    image.setPixel(200, 200, qRgb(255, 255, 255));
    return image;
}
} // namespace

// The brightest star that is unsaturated, alone and away from the edge wins.
TEST(StarChoice, SkipsSaturatedCrowdedAndEdgeStars) {
    const QImage frame = sky({{160, 120, 400}, // saturated
                              {10, 60, 200},   // at the edge
                              {60, 200, 180},  // with a neighbour ...
                              {70, 205, 60},   // ... within the radius
                              {250, 60, 120},  // the one
                              {100, 80, 50}}); // fainter
    const auto star = chooseGuideStar(lumaOf(frame), {24, 8.0});
    ASSERT_TRUE(star);
    EXPECT_NEAR(star->x(), 250, 0.5);
    EXPECT_NEAR(star->y(), 60, 0.5);
    const auto inRoi = chooseGuideStar(lumaOf(frame), {24, 8.0}, QRect(80, 60, 60, 60));
    ASSERT_TRUE(inRoi);
    EXPECT_NEAR(inRoi->x(), 100, 0.5);
    // Too faint for the SNR asked, and a blank frame: none.
    EXPECT_FALSE(chooseGuideStar(lumaOf(frame), {24, 1e6}));
    EXPECT_FALSE(chooseGuideStar(lumaOf(sky({})), {24, 8.0}));
}

// On a raw frame: the brightest star whose peak stays below 90 % of the camera's maximum (one
// at 95 % is saturated), centred to a fraction of a pixel; the other rules as on the picture.
TEST(StarChoice, OnRawFramesTheBrightestBelowNinetyPercentOfTheMaximum) {
    RawSky field;
    field.width = 320;
    field.height = 240;
    const auto star = [](double x, double y, double share) {
        return TrueStar{x, y, amplitudeForPeak(share * 65535, 3), 3};
    };
    std::vector<TrueStar> stars{star(160, 120, 0.95),    // saturated
                                star(10, 60, 0.8),       // at the edge
                                star(60, 200, 0.7),      // with a neighbour ...
                                star(70, 205, 0.3),      // ... within the radius
                                star(250.3, 60.6, 0.6),  // the one
                                star(100.2, 80.7, 0.2)}; // fainter
    std::mt19937 random(4);
    const auto chosen = chooseGuideStar(renderRaw(field, stars, random), {24, 8.0});
    ASSERT_TRUE(chosen);
    EXPECT_NEAR(chosen->x(), 250.3, 0.05);
    EXPECT_NEAR(chosen->y(), 60.6, 0.05);
    stars[4] = star(250, 60, 0.92); // now saturated too
    const auto fainter = chooseGuideStar(renderRaw(field, stars, random), {24, 8.0});
    ASSERT_TRUE(fainter);
    EXPECT_NEAR(fainter->x(), 100.2, 0.05);
    EXPECT_FALSE(chooseGuideStar(renderRaw(field, {}, random), {24, 8.0}));
}

// In range for whole seconds; the timeout is checked on the frame after it passed; a star
// missing five frames in a row fails the settle.
TEST(SettleTrackerTest, WholeSecondsTimeoutAndLostStar) {
    SettleTracker t;
    t.begin({1.0, 2, 10}, 0.0);
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(true, 0.5, 1.0))); // clock starts
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(true, 0.5, 2.9))); // 1.9 s
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(true, 3.0, 3.1))); // out: restart
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(false, 0, 3.5)));  // dropped
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(true, 0.2, 4.0))); // clock starts
    const auto done = t.frame(true, 0.9, 6.0);
    ASSERT_TRUE(std::holds_alternative<SettleResult>(done));
    EXPECT_TRUE(std::get<SettleResult>(done).success);
    EXPECT_EQ(std::get<SettleResult>(done).totalFrames, 6);
    EXPECT_EQ(std::get<SettleResult>(done).droppedFrames, 1);
    EXPECT_FALSE(t.active());

    t.begin({1.0, 0, 3}, 0.0);
    EXPECT_TRUE(std::holds_alternative<SettlingStep>(t.frame(true, 5, 2.99)));
    const auto late = t.frame(true, 5, 3.0);
    EXPECT_EQ(std::get<SettleResult>(late).error, "timed-out waiting for guider to settle");

    t.begin({1.0, 0, 100}, 0.0);
    std::variant<SettlingStep, SettleResult> step;
    for (int n = 0; n < SettleTracker::kLostFrames; ++n)
        step = t.frame(false, 0, n);
    EXPECT_EQ(std::get<SettleResult>(step).error, "star lost");
    EXPECT_FALSE(t.stop("Guiding stopped"));

    EXPECT_EQ(std::get<QString>(parseSettle(QJsonValue(3))), "expected settle object param");
    EXPECT_EQ(std::get<QString>(parseSettle(QJsonObject{{"pixels", 1}, {"time", 2}})),
              "invalid settle params");
    const auto p = std::get<SettleParams>(
        parseSettle(QJsonObject{{"pixels", 1.5}, {"time", 2.9}, {"timeout", 30.7}}));
    EXPECT_EQ(p.timeSec, 2);
    EXPECT_EQ(p.timeoutSec, 30);
}

// Never farther than the amount; RA only stays on the RA axis.
TEST(DitherOffset, StaysWithinTheAmountAndOnTheAxis) {
    std::mt19937 random(7);
    double longest = 0;
    for (int n = 0; n < 2000; ++n) {
        const QPointF d = ditherOffset(3.0, false, std::nullopt, random);
        longest = std::max(longest, std::hypot(d.x(), d.y()));
        const QPointF ra = ditherOffset(3.0, true, 30.0, random);
        EXPECT_NEAR(ra.y(), ra.x() * std::tan(30.0 * M_PI / 180.0), 1e-9);
        EXPECT_LE(std::hypot(ra.x(), ra.y()), 3.0 + 1e-9);
    }
    EXPECT_LE(longest, 3.0);
    EXPECT_GT(longest, 2.8);
    EXPECT_EQ(ditherOffset(0, false, std::nullopt, random), QPointF());
}
