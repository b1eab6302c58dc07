#include "replay/replay.h"
#include "replay/sky_model.h"

#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <gtest/gtest.h>

namespace {
std::string write(const QTemporaryDir& dir, const char* name, const char* text) {
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    std::ofstream(path) << text;
    return path;
}
} // namespace

// A sky file reads back as written; a wrong header, a bad row or time going back is refused
// with the line named.
TEST(SkyFile, ReadsWhatItWritesAndRefusesBadRows) {
    QTemporaryDir dir;
    SkyRecipe recipe;
    recipe.seconds = 60;
    const std::vector<SkyRow> sky = makeSky(recipe);
    const std::string path = dir.filePath("sky.csv").toStdString();
    ASSERT_TRUE(writeSky(path, sky));
    std::string error;
    const std::vector<SkyRow> back = readSky(path, error);
    ASSERT_EQ(back.size(), sky.size());
    EXPECT_NEAR(back.back().ra, sky.back().ra, 1e-3);
    EXPECT_TRUE(readSky(write(dir, "a", "t,ra,dec\n0,1,2\n"), error).empty());
    EXPECT_NE(error.find("first line"), std::string::npos);
    EXPECT_TRUE(readSky(write(dir, "b", "t_s,ra_px,dec_px\n0,1,2\n1,x,2\n"), error).empty());
    EXPECT_NE(error.find("line 3"), std::string::npos);
    EXPECT_TRUE(readSky(write(dir, "c", "t_s,ra_px,dec_px\r\n2,1,2\r\n1,1,2\r\n"), error).empty());
    EXPECT_TRUE(readSky(dir.filePath("none").toStdString(), error).empty());
}

// A law's move shows from the next frame, in whole milliseconds of pulse; a sky standing still
// off target is corrected in one move by a law that moves the whole error, and Dec loses the
// backlash of a reversal unless the guider makes it up.
TEST(Replay, MovesShowFromTheNextFrame) {
    std::vector<SkyRow> sky;
    for (int k = 0; k < 4; ++k)
        sky.push_back({2.0 * k, 2.0, 0.0});
    ReplayMount mount;
    StandardLimits all;
    all.minCorrection = 0;
    const LawMaker whole = [all] { return makeGuideLaw(kStandardLaw, all); };
    const ReplayResult r = replay(sky, mount, whole, nullptr);
    EXPECT_NEAR(r.ra.rmsPx, 1.0, 1e-9); // 2 px in the first frame, 0 after
    EXPECT_EQ(r.ra.pulses, 1);
    EXPECT_EQ(r.ra.pulseMs, 400); // 2 px at 5 px/s
    EXPECT_EQ(r.dec.pulses, 0);

    // Dec: +1 px then back to 0: the move back reverses and loses 100 ms (0.5 px).
    std::vector<SkyRow> step{{0, 0, 1}, {2, 0, 0}, {4, 0, 0}, {6, 0, 0}};
    mount.decBacklashMs = 100;
    const ReplayResult lost = replay(step, mount, nullptr, whole);
    const ReplayResult madeUp = replay(step, mount, nullptr, whole, 100);
    EXPECT_GT(lost.dec.rmsPx, madeUp.dec.rmsPx);
}

// A periodic error that moves the star faster than the seeing from the very first frame (a
// 100 s worm guided at 1 s) is learnt as motion, not taken for a run of jumps: the predictive
// law then leads the mount instead of following it, well below the best proportional setting
// for that axis.
TEST(Replay, PredictiveLearnsAPeriodicErrorFastFromTheFirstFrame) {
    SkyRecipe recipe;
    for (const SkyRecipe& r : standardSkies())
        if (r.name == "large_error_short_worm")
            recipe = r;
    ASSERT_EQ(recipe.wormPeriod, 100);
    const std::vector<SkyRow> sky = makeSky(recipe);
    const ReplayMount mount;
    const LawMaker predictive = [] { return makeGuideLaw(QStringLiteral("Predictive")); };
    const LawMaker hysteresis = [] {
        auto law = makeGuideLaw(QStringLiteral("Hysteresis"));
        law->setParam(QStringLiteral("Aggressiveness"), 100);
        law->setParam(QStringLiteral("Minimum Move"), 0);
        return law;
    };
    const double p = replay(sky, mount, predictive, nullptr).ra.rmsPx;
    EXPECT_LT(p, 0.9 * replay(sky, mount, hysteresis, nullptr).ra.rmsPx);
}

// The floor a sky's seeing leaves is its one-frame-ahead unpredictable part: f sqrt(1 + rho)
// per axis for a frame-to-frame rms f and correlation rho, whatever else the mount does.
TEST(SkyFile, SeeingFloorIsThePartNoFrameBeforePredicts) {
    SkyRecipe recipe;
    recipe.seconds = 20000;
    recipe.seeing = 0.4;
    recipe.seeingCorrelation = 0.5;
    recipe.peakToPeak = 8;
    const SkyRow floor = seeingFloor(recipe);
    EXPECT_NEAR(floor.ra, 0.4 * std::sqrt(1.5), 0.02);
    EXPECT_NEAR(floor.dec, 0.4 * std::sqrt(1.5), 0.02);
    const SkyRow scatter = frameToFrameRms(makeSky(recipe));
    EXPECT_GT(scatter.ra, 0.4); // the periodic error moves the star between frames too
}
