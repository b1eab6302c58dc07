#include "engine/Globals.h"
#include "measure/raw_sky.h"
#include "measure/raw_star.h"
#include "measure/star_search.h"
#include "measure/test_picture.h"
#include "platform/capture/frame_stretch.h"

#include <gtest/gtest.h>

namespace {
std::pair<float, float> starAfter(const std::function<void()>& search) {
    Globals::starX = -7;
    Globals::starY = -7;
    search();
    return {Globals::starX, Globals::starY};
}

void expectSameMeasures(const StarMeasures& a, const StarMeasures& b) {
    EXPECT_EQ(a.valid, b.valid);
    EXPECT_EQ(a.background, b.background);
    EXPECT_EQ(a.peak, b.peak);
    EXPECT_EQ(a.saturated, b.saturated);
    EXPECT_EQ(a.snr, b.snr);
    EXPECT_EQ(a.hfd, b.hfd);
    EXPECT_EQ(a.centreX, b.centreX);
}
} // namespace

// The frame decides: without a raw frame the picture is searched and measured exactly as the
// 8-bit search does, with one the raw values are; the picture is refreshed once either way.
TEST(StarSearch, TheFrameChoosesThePath) {
    Globals::searchRadius = 24;
    RawSky sky;
    std::mt19937 random(9);
    const RawFrame raw = renderRaw(sky, {{30.37, 25.62, 3000, 2.2}}, random);
    TestPicture picture(1, 1, 0);
    picture.image = stretchToPicture(raw);

    for (const auto& [x, y] : {std::pair{31.0f, 24.0f}, {29.6f, 26.3f}, {33.2f, 22.9f}}) {
        const auto old = starAfter([&] { findStar(picture, x, y); });
        const int before = picture.refreshes;
        EXPECT_EQ(starAfter([&] { findStar(picture, nullptr, x, y); }), old);
        EXPECT_EQ(picture.refreshes, before + 1);
        expectSameMeasures(measureStarAt(picture, nullptr, x, y, 24),
                           measureStarAt(picture, x, y, 24));

        const auto deep = starAfter([&] { findStar(raw, x, y); });
        EXPECT_EQ(starAfter([&] { findStar(picture, &raw, x, y); }), deep);
        EXPECT_EQ(picture.refreshes, before + 2);
        EXPECT_NE(deep, old);
        EXPECT_NEAR(deep.first, 30.37, 0.1);
        EXPECT_NEAR(deep.second, 25.62, 0.1);
        expectSameMeasures(measureStarAt(picture, &raw, x, y, 24), measureRawStarAt(raw, x, y, 24));
    }
    // The stretch puts the star's brightest pixel at 255: saturated in the picture only.
    EXPECT_TRUE(measureStarAt(picture, nullptr, 30, 26, 24).saturated);
    EXPECT_FALSE(measureStarAt(picture, &raw, 30, 26, 24).saturated);
}
