#include "engine/Globals.h"
#include "measure/AIP.h"
#include "measure/test_picture.h"

#include <QImage>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {
class FindStar : public ::testing::Test {
protected:
    void SetUp() override { search(24, -7, -7); }
    // Leaves a known earlier result so "unchanged" can be told from "no star".
    void search(int side, float x0, float y0) {
        Globals::searchRadius = static_cast<uint8_t>(side);
        Globals::starX = x0;
        Globals::starY = y0;
    }
    std::pair<float, float> star() const { return {Globals::starX, Globals::starY}; }
    using P = std::pair<float, float>;
};
} // namespace

TEST(Luminance, WeightsGreenRedBlueAndReadsOutsideAsWhite) {
    EXPECT_EQ(luminance(0), 0);
    EXPECT_EQ(luminance(0xFFFFFF), 255);
    EXPECT_EQ(luminance(0x0000FF), 76);  // red 76.245
    EXPECT_EQ(luminance(0x00FF00), 150); // green 149.685
    EXPECT_EQ(luminance(0xFF0000), 29);  // blue 29.07
    EXPECT_EQ(luminance(-1), 255);
    EXPECT_EQ(luminance(0x64646464), 100); // the top byte is ignored
}

// Each case: a picture of `sky` with bright blocks, searched with window side `side` about
// (x, y); with `fromLast` (x, y) is the last result, passed as the globals themselves, as
// guiding does.
TEST_F(FindStar, FindsTheCentreOfThreeBrightNeighboursOrNothing) {
    struct Block {
        int x, y, w, h, level;
    };
    struct Case {
        const char* what;
        int size, sky;
        std::vector<Block> blocks;
        int side;
        float x, y;
        P expected;
        bool fromLast = false;
    };
    const Case cases[] = {
        // Cells (2..4, 2..4) of the window at x0 = 7.5, y0 = 8.
        {"worked example", 40, 10, {{9, 10, 3, 3, 100}}, 5, 10, 10, P(10.5f, 11)},
        {"uniform", 64, 20, {}, 24, 30, 30, P(0, 0)},
        {"pixel", 64, 20, {{30, 28, 1, 1, 250}}, 24, 30, 30, P(0, 0)},
        {"line", 64, 20, {{30, 28, 1, 9, 250}}, 24, 30, 30, P(0, 0)},
        {"2x2", 64, 20, {{30, 28, 2, 2, 250}}, 24, 30, 30, P(0, 0)},
        // Even side: whole column origin, so the centre pixel's own coordinate; odd side:
        // columns keep the .5 of the origin.
        {"3x3 even side", 64, 20, {{30, 30, 3, 3, 200}}, 24, 31, 31, P(31, 31)},
        {"3x3 odd side", 64, 20, {{30, 30, 3, 3, 200}}, 15, 31, 31, P(31.5f, 31)},
        // The window covers 29..34; column 29 is its edge and never counts, of column 30 only
        // rows 30..32 have three bright neighbours.
        {"outermost rows", 64, 20, {{28, 28, 3, 6, 200}}, 6, 31, 31, P(30, 31)},
        {"from its last position", 64, 20, {{40, 41, 3, 3, 220}}, 24, 36, 37, P(41, 42), true},
        // Bright is more than mean + 15. Window 8..13 about (10, 10); the mean is whole: 10 ...
        {"mean + 15", 40, 5, {{10, 10, 3, 3, 25}}, 6, 10, 10, P(0, 0)},
        // ... and 11, with the window's first row raised.
        {"mean + 16", 40, 5, {{10, 10, 3, 3, 27}, {8, 8, 6, 1, 8}}, 6, 10, 10, P(11, 11)},
    };
    for (const Case& c : cases) {
        TestPicture p(c.size, c.size, c.sky);
        for (const Block& b : c.blocks)
            p.block(b.x, b.y, b.w, b.h, b.level);
        search(c.side, c.fromLast ? c.x : 5, c.fromLast ? c.y : 5);
        if (c.fromLast)
            findStar(p, Globals::starX, Globals::starY);
        else
            findStar(p, c.x, c.y);
        EXPECT_EQ(star(), c.expected) << c.what;
        EXPECT_EQ(p.refreshes, 1) << c.what;
    }
}

TEST_F(FindStar, ImpossibleSidesLeaveTheResultAndTinyOnesFindNothing) {
    TestPicture p(64, 64, 20);
    p.block(30, 30, 5, 5, 200);
    for (int side : {0, 101, 255}) {
        search(side, 12, 34);
        findStar(p, 32, 32);
        EXPECT_EQ(star(), P(12, 34)) << side;
    }
    for (int side : {1, 2}) {
        search(side, 12, 34);
        findStar(p, 32, 32);
        EXPECT_EQ(star(), P(0, 0)) << side;
    }
}

TEST_F(FindStar, WindowOriginRoundsRowsHalfToEvenAndKeepsColumnFractions) {
    TestPicture p(200, 200, 10);
    search(15, 0, 0);
    findStar(p, 100, 100);
    EXPECT_EQ(p.queries.front(), P(93.5f, 93)); // x0 92.5, y0 92
    p.queries.clear();
    findStar(p, 100, 101);
    EXPECT_EQ(p.queries.front(), P(93.5f, 95)); // y0 93.5 -> 94
}

TEST_F(FindStar, OutsideThePictureReadsWhiteAndPullsTowardsTheEdge) {
    TestPicture p(64, 64, 10);
    search(10, 0, 0);
    findStar(p, 2, 2);
    // A dark frame, yet the white cells beyond the corner make a "star" right at the edge.
    EXPECT_GT(Globals::starX, 0);
    EXPECT_LT(Globals::starX, 1.5f);
    EXPECT_EQ(Globals::starX, Globals::starY);
}
