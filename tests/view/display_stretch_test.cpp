#include "view/display_stretch.h"
#include "view/stretch_choice.h"

#include <gtest/gtest.h>

namespace {
// A 16-bit frame of `n` pixels: value -> how many pixels hold it, the rest at `rest`.
RawFrame raw16(int width, int height, uint16_t rest, std::vector<std::pair<uint16_t, int>> set) {
    RawFrame f;
    f.width = width;
    f.height = height;
    f.bitDepth = 16;
    f.maxValue = 65535;
    f.pixels.assign(static_cast<size_t>(width * height), rest);
    size_t at = 0;
    for (const auto& [value, count] : set)
        for (int i = 0; i < count; ++i)
            f.pixels[at++] = value;
    return f;
}
} // namespace

TEST(DisplayStretch, EightBitFullRangeIsTheIdentity) {
    const std::vector<uint8_t> lut = displayLut({0, 255, 1}, 255);
    ASSERT_EQ(lut.size(), 256u);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(lut[static_cast<size_t>(v)], v);
}

TEST(DisplayStretch, SixteenBitPointsClipAndMapLinearly) {
    const std::vector<uint8_t> lut = displayLut({1000, 3000, 1}, 65535);
    ASSERT_EQ(lut.size(), 65536u);
    EXPECT_EQ(lut[0], 0);
    EXPECT_EQ(lut[1000], 0);
    EXPECT_EQ(lut[1008], 1); // 8 / 2000 * 255 = 1.02
    EXPECT_EQ(lut[2000], 128);
    EXPECT_EQ(lut[3000], 255);
    EXPECT_EQ(lut[65535], 255);
}

// Gamma above 1 lifts the faint end; below 1 it darkens it; the ends stay put.
TEST(DisplayStretch, GammaBendsTheMiddleOnly) {
    const std::vector<uint8_t> bright = displayLut({0, 255, 2}, 255);
    const std::vector<uint8_t> dark = displayLut({0, 255, 0.5}, 255);
    EXPECT_EQ(bright[64], 128); // sqrt(64 / 255) * 255 = 127.75
    EXPECT_EQ(dark[128], 64);   // (128 / 255)^2 * 255 = 64.25
    for (const auto* lut : {&bright, &dark}) {
        EXPECT_EQ((*lut)[0], 0);
        EXPECT_EQ((*lut)[255], 255);
    }
}

TEST(DisplayStretch, HistogramQuantilesAndDeviation) {
    // Ten pixels: two at 990, four at 1000, four at 1010.
    const Histogram h = histogramOf(raw16(10, 1, 1010, {{990, 2}, {1000, 4}}));
    EXPECT_EQ(h.total, 10u);
    EXPECT_EQ(h.maxValue(), 65535);
    EXPECT_EQ(h.lowest(), 990);
    EXPECT_EQ(h.median(), 1000);
    EXPECT_EQ(h.quantile(1.0), 1010);
    EXPECT_EQ(h.mad(), 10);

    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(qRgb(30, 30, 30));
    picture.setPixel(1, 1, qRgb(200, 200, 200));
    const Histogram g = histogramOf(picture);
    EXPECT_EQ(g.maxValue(), 255);
    EXPECT_EQ(g.counts[30], 3u);
    EXPECT_EQ(g.counts[200], 1u);
}

TEST(DisplayStretch, AutomaticPointsFromMedianAndDeviation) {
    // Background 1000 with a deviation of 10 (MAD), two star pixels at 5000.
    const Histogram h = histogramOf(raw16(100, 1, 1010, {{990, 20}, {1000, 38}, {5000, 2}}));
    ASSERT_EQ(h.median(), 1000);
    ASSERT_EQ(h.mad(), 10);
    const StretchLevels levels = automaticLevels(h, 1.5);
    EXPECT_NEAR(levels.black, 990, 1e-9); // 1000 - 2.8 * 14.826 lies below the darkest, 990
    EXPECT_NEAR(levels.white, 1000 + kWhiteSigmas * 14.826, 1e-9);
    EXPECT_EQ(levels.gamma, 1.5);
    const std::vector<uint8_t> lut = displayLut(levels, h.maxValue());
    EXPECT_EQ(lut[5000], 255);
    EXPECT_EQ(lut[1010], 41); // 255 * (20 / 306.5)^(1 / 1.5)
}

// A noiseless frame: single faint star pixels on an exact black sky come out white.
TEST(DisplayStretch, AutomaticBrightensFaintPixelsOnABlackSky) {
    const RawFrame frame = raw16(64, 64, 0, {{40, 3}});
    const StretchLevels levels = automaticLevels(histogramOf(frame));
    EXPECT_EQ(levels.black, 0);
    EXPECT_EQ(levels.white, 1);
    const QImage view = stretchedView(frame, displayLut(levels, 65535));
    EXPECT_EQ(view.pixel(0, 0), qRgb(255, 255, 255)); // the first pixels hold the star
    EXPECT_EQ(view.pixel(10, 10), qRgb(0, 0, 0));
}

TEST(DisplayStretch, AutomaticPointsStayOrderedOnAFlatOrSaturatedFrame) {
    for (const uint16_t flat : {uint16_t{0}, uint16_t{500}, uint16_t{65535}}) {
        const StretchLevels levels = automaticLevels(histogramOf(raw16(8, 8, flat, {})));
        EXPECT_LT(levels.black, levels.white) << flat;
        EXPECT_GE(levels.black, 0) << flat;
        EXPECT_LE(levels.white, 65535) << flat;
    }
}

// A colour picture keeps its hue: each channel goes through the same table.
TEST(DisplayStretch, PictureChannelsMapThroughTheTable) {
    QImage picture(1, 1, QImage::Format_RGB32);
    picture.setPixel(0, 0, qRgb(10, 20, 30));
    const QImage view = stretchedView(picture, displayLut({10, 30, 1}, 255));
    EXPECT_EQ(view.pixel(0, 0), qRgb(0, 128, 255));
}

TEST(StretchChoice, ModesGiveTheirLevels) {
    const Histogram h16 = histogramOf(raw16(4, 1, 2000, {}));
    QImage grey(4, 1, QImage::Format_RGB32);
    grey.fill(qRgb(9, 9, 9));
    const Histogram h8 = histogramOf(grey);
    StretchChoice c;
    const StretchLevels off = levelsFor(c, h16);
    EXPECT_EQ(std::tuple(off.black, off.white, off.gamma), std::tuple(0.0, 65535.0, 1.0));
    c.mode = StretchMode::Manual;
    c.black = 0.25;
    c.white = 0.5;
    c.gamma = 2;
    const StretchLevels manual = levelsFor(c, h16);
    EXPECT_DOUBLE_EQ(manual.black, 0.25 * 65535);
    EXPECT_DOUBLE_EQ(manual.white, 0.5 * 65535);
    EXPECT_EQ(manual.gamma, 2);
    EXPECT_DOUBLE_EQ(levelsFor(c, h8).white, 0.5 * 255);
    // White left below black: one unit above it.
    c.white = 0.1;
    EXPECT_DOUBLE_EQ(levelsFor(c, h8).white, 0.25 * 255 + 1);
    c.mode = StretchMode::Automatic;
    c.gamma = 50; // held to the gamma range
    EXPECT_EQ(levelsFor(c, h16).gamma, kMaxGamma);
}
