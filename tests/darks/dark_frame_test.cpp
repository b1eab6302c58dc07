#include "darks/dark_frame.h"

#include <gtest/gtest.h>

namespace {
FrameValues frameOf(FrameShape shape, std::vector<uint16_t> values) {
    return {shape, std::move(values)};
}
DarkFrame darkOf(FrameShape shape, std::vector<float> values, double sec = 2) {
    return {shape, sec, 5, QDateTime(), std::move(values)};
}
const FrameShape kRaw16{2, 2, 1, 16, 65535};
const FrameShape kPicture{2, 1, 3, 8, 255};
} // namespace

TEST(DarkSubtraction, RemovesTheDarkClampingAtZeroAtEitherDepth) {
    FrameValues raw = frameOf(kRaw16, {1000, 65535, 300, 5000});
    ASSERT_TRUE(subtractDark(raw, darkOf(kRaw16, {100.4f, 40000.f, 500.f, 0.f})));
    EXPECT_EQ(raw.values, (std::vector<uint16_t>{900, 25535, 0, 5000}));

    // A picture loses the dark channel by channel.
    FrameValues picture = frameOf(kPicture, {10, 20, 30, 255, 0, 7});
    ASSERT_TRUE(subtractDark(picture, darkOf(kPicture, {5, 25, 0, 200, 3, 7})));
    EXPECT_EQ(picture.values, (std::vector<uint16_t>{5, 0, 30, 55, 0, 0}));
}

TEST(DarkSubtraction, ScalesWhatStandsAboveTheBiasOnly) {
    // Median (bias) 100; the hot pixel's 400 above it doubles for twice the exposure.
    FrameValues raw = frameOf(kRaw16, {1000, 1000, 1000, 1000});
    ASSERT_TRUE(subtractDark(raw, darkOf(kRaw16, {100, 100, 100, 500}), 2.0));
    EXPECT_EQ(raw.values, (std::vector<uint16_t>{900, 900, 900, 100}));
}

TEST(DarkSubtraction, LeavesAFrameOfAnotherShapeAlone) {
    FrameValues small = frameOf({1, 2, 1, 16, 65535}, {1000, 1000});
    EXPECT_FALSE(subtractDark(small, darkOf(kRaw16, {1, 1, 1, 1})));
    EXPECT_EQ(small.values, (std::vector<uint16_t>{1000, 1000}));
    FrameValues eightBit = frameOf({2, 2, 1, 8, 255}, {10, 10, 10, 10});
    EXPECT_FALSE(subtractDark(eightBit, darkOf(kRaw16, {1, 1, 1, 1})));
}

TEST(DarkCombination, DropsEachValuesHighestAndLowestFromThreeFramesOn) {
    const FrameShape one{1, 1, 1, 16, 65535};
    std::vector<FrameValues> frames;
    for (uint16_t v : {100, 102, 65535 /* cosmic ray */, 98, 101})
        frames.push_back(frameOf(one, {v}));
    frames.push_back(frameOf({2, 1, 1, 16, 65535}, {0, 0})); // another shape: left out
    const DarkFrame dark = combineDarks(frames, 3, QDateTime());
    EXPECT_EQ(dark.frames, 5);
    EXPECT_FLOAT_EQ(dark.values[0], 101.0f);
    EXPECT_EQ(dark.exposureSec, 3);

    const DarkFrame two = combineDarks({frameOf(one, {100}), frameOf(one, {103})}, 3, {});
    EXPECT_FLOAT_EQ(two.values[0], 101.5f);
    EXPECT_TRUE(combineDarks({}, 3, {}).values.empty());
}
