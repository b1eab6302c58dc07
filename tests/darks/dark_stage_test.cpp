#include "darks/dark_run.h"
#include "darks/dark_stage.h"
#include "measure/star_choice.h"
#include "platform/capture/frame_stretch.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kCamera = QStringLiteral("cam");

// A 16-bit 40 x 30 frame at `level` with one hot pixel at (10, 10) and, lit, a faint "star" at
// (30, 5).
std::shared_ptr<const RawFrame> rawFrame(uint16_t level, uint16_t hot, bool lit = true) {
    RawFrame raw;
    raw.width = 40;
    raw.height = 30;
    raw.bitDepth = 16;
    raw.exposureSec = 2;
    raw.pixels.assign(40 * 30, level);
    raw.pixels[10 * 40 + 10] = hot;
    if (lit)
        raw.pixels[5 * 40 + 30] = static_cast<uint16_t>(level + 500);
    return std::make_shared<const RawFrame>(raw);
}

class DarkStageTest : public ::testing::Test {
protected:
    DarkStageTest() {
        QString error;
        const DarkFrame dark = combineDarks({valuesOf(*rawFrame(300, 20000, false))}, 2, {});
        EXPECT_TRUE(library.store(kCamera, dark, &error));
    }
    QTemporaryDir folder;
    DarkLibrary library{folder.path()};
    DarkStage stage{library};
};
} // namespace

TEST_F(DarkStageTest, CorrectsTheRawFrameAndMakesThePictureFromIt) {
    auto raw = rawFrame(1300, 21000);
    QImage picture;
    const DarkUse use = stage.apply(kCamera, 2, picture, raw);
    EXPECT_TRUE(use.subtracted);
    EXPECT_EQ(use.repaired, 1);
    EXPECT_EQ(raw->at(0, 0), 1000);
    EXPECT_EQ(raw->at(10, 10), 1000) << "repaired from its neighbours";
    EXPECT_EQ(raw->at(30, 5), 1500);
    EXPECT_EQ(raw->exposureSec, 2);
    EXPECT_EQ(picture, stretchToPicture(*raw));
    EXPECT_TRUE(use.note.contains("dark of 2 s subtracted"));
    ASSERT_NE(stage.badPixels(), nullptr);
    EXPECT_TRUE(stage.badPixels()->bad(10, 10));
}

TEST_F(DarkStageTest, EachCorrectionGoesOffAlone) {
    auto raw = rawFrame(1300, 21000);
    QImage picture;
    stage.setUseBadPixelMap(false);
    EXPECT_EQ(stage.apply(kCamera, 2, picture, raw).repaired, 0);
    EXPECT_EQ(raw->at(10, 10), 1000) << "the dark alone takes the hot pixel's excess";
    EXPECT_EQ(stage.badPixels(), nullptr);

    raw = rawFrame(1300, 21000);
    stage.setUseBadPixelMap(true);
    stage.setUseDarks(false);
    const DarkUse use = stage.apply(kCamera, 2, picture, raw);
    EXPECT_FALSE(use.subtracted);
    EXPECT_EQ(raw->at(0, 0), 1300);
    EXPECT_EQ(raw->at(10, 10), 1300);
}

TEST_F(DarkStageTest, SaysWhyNoDarkIsUsedOnlyForACameraThatHasDarks) {
    QImage picture;
    auto raw = rawFrame(1300, 21000);
    const auto original = raw;
    EXPECT_TRUE(stage.apply(kCamera, 5, picture, raw).note.contains("none near 5 s"));
    EXPECT_EQ(raw, original);
    EXPECT_TRUE(picture.isNull());

    QImage small(20, 15, QImage::Format_RGB32);
    small.fill(qRgb(40, 40, 40));
    std::shared_ptr<const RawFrame> none;
    const DarkUse use = stage.apply(kCamera, 2, small, none);
    EXPECT_FALSE(use.subtracted);
    EXPECT_TRUE(use.note.contains("none of this frame size (20 x 15)"));
    EXPECT_EQ(small.pixel(0, 0), qRgb(40, 40, 40));
    EXPECT_TRUE(stage.apply(QStringLiteral("other"), 2, small, none).note.isEmpty());
}

// A bright blob on a bad pixel is never the star chosen; the fainter real star is.
TEST(StarChoiceExclusion, SkipsPeaksOnExcludedPixels) {
    LumaFrame f{100, 80, std::vector<uint8_t>(100 * 80, 10)};
    const auto blob = [&](int cx, int cy, int peak) {
        for (int y = cy - 2; y <= cy + 2; ++y)
            for (int x = cx - 2; x <= cx + 2; ++x)
                f.pixels[static_cast<size_t>(y * 100 + x)] = static_cast<uint8_t>(
                    10 + peak / (1 + (x - cx) * (x - cx) + (y - cy) * (y - cy)));
    };
    blob(30, 40, 200);
    blob(70, 40, 100);
    const StarChoiceRules rules{24, 8.0};
    EXPECT_EQ(chooseGuideStar(f, rules)->toPoint(), QPoint(30, 40));
    const auto bad = [](int x, int y) { return x == 30 && y == 40; };
    EXPECT_EQ(chooseGuideStar(f, rules, std::nullopt, bad)->toPoint(), QPoint(70, 40));
}

TEST(DarkRun, TakesOnlyFramesOfTheExposureAskedAndCombinesEach) {
    DarkRun run({2, {1.0, 3.0}});
    EXPECT_EQ(run.framesWanted(), 4);
    const FrameValues a{{1, 1, 1, 8, 255}, {10}};
    const FrameValues wide{{2, 1, 1, 8, 255}, {10, 10}};
    EXPECT_FALSE(run.add(a, 2.0, {})) << "an exposure begun before the run";
    EXPECT_EQ(run.framesTaken(), 0);
    EXPECT_FALSE(run.add(wide, 1.0, {}));
    EXPECT_FALSE(run.add(a, 1.0, {})) << "the frame size changed: the frames start again";
    const auto first = run.add(FrameValues{a.shape, {20}}, 1.0, {});
    ASSERT_TRUE(first);
    EXPECT_EQ(first->values[0], 15.0f);
    EXPECT_EQ(run.exposureSec(), 3.0);
    EXPECT_FALSE(run.add(a, 3.0, {}));
    ASSERT_TRUE(run.add(a, 3.0, {}));
    EXPECT_TRUE(run.done());
    EXPECT_EQ(run.framesTaken(), 4);
}

TEST(DarkRun, ReadsAListOfExposures) {
    EXPECT_EQ(parseExposureList(" 1, 2;0.5  2 ", 60), (std::vector<double>{1, 2, 0.5}));
    EXPECT_FALSE(parseExposureList("", 60));
    EXPECT_FALSE(parseExposureList("1, x", 60));
    EXPECT_FALSE(parseExposureList("0", 60));
    EXPECT_FALSE(parseExposureList("61", 60));
}
