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

TEST_F(FindStar, WorkedExampleOfAFiveCellWindow) {
    TestPicture p(40, 40, 10);
    p.block(9, 10, 3, 3, 100); // cells (2..4, 2..4) of the window at x0 = 7.5, y0 = 8
    search(5, 0, 0);
    findStar(p, 10.0f, 10.0f);
    EXPECT_EQ(star(), P(10.5f, 11.0f));
    EXPECT_EQ(p.refreshes, 1);
}

TEST_F(FindStar, ShapesWithoutThreeBrightNeighboursAreNoStar) {
    struct Shape {
        const char* name;
        int w, h;
    };
    for (const Shape& s :
         {Shape{"uniform", 0, 0}, Shape{"pixel", 1, 1}, Shape{"line", 1, 9}, Shape{"2x2", 2, 2}}) {
        TestPicture p(64, 64, 20);
        p.block(30, 28, s.w, s.h, 250);
        search(24, 5, 5);
        findStar(p, 30, 30);
        EXPECT_EQ(star(), P(0, 0)) << s.name;
    }
}

TEST_F(FindStar, ThreeByThreeBlockGivesItsCentre) {
    TestPicture p(64, 64, 20);
    p.block(30, 30, 3, 3, 200);
    search(24, 0, 0);
    findStar(p, 31, 31);
    // Even side: whole column origin, so the centre pixel's own coordinate.
    EXPECT_EQ(star(), P(31, 31));
    search(15, 0, 0);
    findStar(p, 31, 31);
    EXPECT_EQ(star(), P(31.5f, 31)); // odd side: columns keep the .5 of the origin
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

TEST_F(FindStar, OutermostRowsAndColumnsNeverCount) {
    TestPicture p(64, 64, 20);
    search(6, 0, 0);            // the window at (31, 31) covers columns and rows 29..34
    p.block(28, 28, 3, 6, 200); // bright on the window's first two columns, rows 29..33
    findStar(p, 31, 31);
    // Column 29 is the window's edge and never counts; of column 30 only rows 30..32 have
    // three bright neighbours.
    EXPECT_EQ(star(), P(30, 31));
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

TEST_F(FindStar, FollowsAStarFromItsOwnLastPosition) {
    TestPicture p(64, 64, 20);
    p.block(40, 41, 3, 3, 220);
    search(24, 36, 37);
    findStar(p, Globals::starX, Globals::starY);
    EXPECT_EQ(star(), P(41, 42));
}

// Brightness exactly mean + 15 is not bright; mean + 16 is. Window side 6 around (10, 10):
// columns and rows 8..13, sky 5, a 3 x 3 block at 10..12; the window's first row is raised so
// that the mean comes out whole (10 and 11).
TEST_F(FindStar, BrightMeansMoreThanFifteenAboveTheMean) {
    TestPicture atFifteen(40, 40, 5);
    atFifteen.block(10, 10, 3, 3, 25); // mean (9 x 25 + 27 x 5) / 36 = 10
    search(6, 0, 0);
    findStar(atFifteen, 10, 10);
    EXPECT_EQ(star(), P(0, 0));

    TestPicture atSixteen(40, 40, 5);
    atSixteen.block(10, 10, 3, 3, 27);
    atSixteen.block(8, 8, 6, 1, 8); // mean (9 x 27 + 6 x 8 + 21 x 5) / 36 = 11
    search(6, 0, 0);
    findStar(atSixteen, 10, 10);
    EXPECT_EQ(star(), P(11, 11));
}
