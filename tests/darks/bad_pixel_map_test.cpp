#include "darks/bad_pixel_map.h"

#include <gtest/gtest.h>
#include <random>

namespace {
// A 16-bit dark: bias 1000, noise 20 ADU, with the hot pixels and the hot column given.
DarkFrame noisyDark(int w, int h, const std::vector<QPoint>& hot, int hotColumn) {
    DarkFrame dark{{w, h, 1, 16, 65535}, 2, 5, QDateTime(), {}};
    std::mt19937 random(3);
    std::normal_distribution<float> noise(1000, 20);
    for (int i = 0; i < w * h; ++i)
        dark.values.push_back(noise(random));
    for (QPoint p : hot)
        dark.values[static_cast<size_t>(p.y() * w + p.x())] += 3000;
    for (int y = 0; y < h; ++y)
        dark.values[static_cast<size_t>(y * w + hotColumn)] += 700; // faint, but all along
    return dark;
}
} // namespace

TEST(BadPixelMap, FindsTheHotPixelsAndTheHotColumnAndNothingElse) {
    const std::vector<QPoint> hot{{3, 4}, {50, 30}, {51, 30}, {79, 59}};
    const BadPixelMap map = findBadPixels(noisyDark(80, 60, hot, 20));
    EXPECT_EQ(map.hotColumns(), std::vector<int>{20});
    EXPECT_EQ(map.count(), 4 + 60);
    for (QPoint p : hot)
        EXPECT_TRUE(map.bad(p.x(), p.y()));
    EXPECT_TRUE(map.bad(20, 0));
    EXPECT_FALSE(map.bad(19, 0));
    EXPECT_FALSE(map.bad(-1, 0));
}

// An 8-bit webcam's dark is mostly exact zeros (no noise to measure): only pixels a clear step
// above count, in whichever colour they glow.
TEST(BadPixelMap, NeedsAClearStepOnANoiselessColourDark) {
    DarkFrame dark{{10, 10, 3, 8, 255}, 1, 5, QDateTime(), std::vector<float>(300, 0.0f)};
    dark.values[(5 * 10 + 5) * 3 + 2] = 60; // blue only
    dark.values[(2 * 10 + 7) * 3] = 3;      // barely warm
    const BadPixelMap map = findBadPixels(dark);
    EXPECT_EQ(map.count(), 1);
    EXPECT_TRUE(map.bad(5, 5));
    EXPECT_TRUE(map.hotColumns().empty());
}

TEST(BadPixelRepair, GivesBadPixelsTheirGoodNeighboursMedianPerChannel) {
    BadPixelMap map(6, 5);
    map.mark(2, 2);
    map.addHotColumn(4);
    FrameValues frame{{6, 5, 3, 8, 255}, {}};
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            for (int c = 0; c < 3; ++c)
                frame.values.push_back(static_cast<uint16_t>(10 * x + c));
    frame.values[frame.index(2, 2)] = 250;
    const FrameValues before = frame;
    ASSERT_TRUE(repairBadPixels(frame, map));
    // (2, 2): its eight neighbours hold columns 1, 2 and 3 thrice, twice and thrice.
    EXPECT_EQ(frame.values[frame.index(2, 2)], 20);
    EXPECT_EQ(frame.values[frame.index(2, 2) + 2], 22);
    // The hot column from columns 3 and 5 about it: three and three, the upper middle.
    EXPECT_EQ(frame.values[frame.index(4, 0) + 1], 51);
    EXPECT_EQ(frame.values[frame.index(4, 3) + 1], 51);
    for (int y = 0; y < 5; ++y)
        for (int x : {0, 1, 3, 5})
            EXPECT_EQ(frame.values[frame.index(x, y)], before.values[before.index(x, y)]);

    FrameValues other{{5, 5, 1, 8, 255}, std::vector<uint16_t>(25, 9)};
    EXPECT_FALSE(repairBadPixels(other, map));
}

// A cluster reaches out to the first ring that holds good pixels.
TEST(BadPixelRepair, ReachesPastAClusterOfBadPixels) {
    BadPixelMap map(9, 9);
    for (int y = 3; y <= 5; ++y)
        for (int x = 3; x <= 5; ++x)
            map.mark(x, y);
    FrameValues frame{{9, 9, 1, 16, 65535}, std::vector<uint16_t>(81, 40)};
    frame.values[frame.index(4, 4)] = 9000;
    ASSERT_TRUE(repairBadPixels(frame, map));
    EXPECT_EQ(frame.values[frame.index(4, 4)], 40);
}
