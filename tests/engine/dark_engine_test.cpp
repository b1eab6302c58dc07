#include "engine/engine_fixture.h"
#include "fakes/hot_pixel_camera.h"
#include "measure/star_choice.h"

#include <QDir>
#include <QTemporaryDir>

// The simulator behind a sensor with 200 hot spots brighter than the guide star, one of them
// beside it, so that without darks the star is crowded and a hot spot is the best "star".
class DarkEngineTest : public EngineTest {
protected:
    DarkEngineTest() {
        capture = &hot;
        fp.store.set("Dark Options", "Use Darks", "1");
        fp.store.set("Dark Options", "Use Bad Pixel Map", "1");
        fp.store.set("Dark Options", "Folder", darks.path());
        const QPointF star = sky.guideStarPosition();
        hot.spots = HotSpots::scattered(199, sky.frameSize(), 11);
        hot.spots.at.emplace_back(qRound(star.x()) + 12, qRound(star.y()) - 3);
    }
    // Within 2 px of a hot spot.
    bool onHotSpot(QPointF p) const {
        return std::any_of(hot.spots.at.begin(), hot.spots.at.end(), [&](QPoint s) {
            return std::hypot(s.x() - p.x(), s.y() - p.y()) <= 2.0;
        });
    }
    QPointF locked() const { return {engine->state.targetX, engine->state.targetY}; }
    // Covered, the darks of `plan` taken through the engine; the frames they took.
    int takeDarks(const DarkPlan& plan) {
        hot.covered = true;
        bool done = false;
        const auto told =
            QObject::connect(engine.get(), &GuideEngine::darksDone, [&](bool completed) {
                done = true;
                EXPECT_TRUE(completed);
            });
        EXPECT_TRUE(engine->startDarks(plan));
        int cycles = 0;
        while (!done && cycles++ < 50)
            cycle();
        QObject::disconnect(told);
        hot.covered = false;
        return cycles;
    }

    QTemporaryDir darks;
    HotPixelCamera hot{sky, fp.store};
};

TEST_F(DarkEngineTest, ChoosesAndGuidesOnTheStarOnlyWithDarksAndTheBadPixelMap) {
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    EXPECT_TRUE(onHotSpot(locked())) << "without darks a hot spot passes for the best star";

    e.toggleLoop();
    EXPECT_EQ(takeDarks({5, {1.0}}), 5);
    EXPECT_FALSE(e.state.previewing) << "the loop the darks started ends with them";
    EXPECT_EQ(e.state.nextExposureSec, 1.0f);
    e.toggleLoop();
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    const QPointF star = sky.guideStarPosition();
    EXPECT_NEAR(e.state.targetX, star.x(), 1.0);
    EXPECT_NEAR(e.state.targetY, star.y(), 1.0);
    ASSERT_NE(e.darkStage().badPixels(), nullptr);
    EXPECT_GE(e.darkStage().badPixels()->count(), 1700); // 9 each, less a few overlaps
    EXPECT_LE(e.darkStage().badPixels()->count(), 1800);

    e.toggleGuide();
    ASSERT_TRUE(e.state.guiding);
    sky.pulse(guideEast, 600);
    for (int i = 0; i < 4; ++i)
        cycle();
    for (int i = 0; i < 40; ++i) {
        cycle();
        ASSERT_FALSE(e.state.lockLost) << "cycle " << i;
        EXPECT_LT(error(), e.state.minCorrection + 1.5) << "cycle " << i;
    }
    e.toggleGuide();

    e.setUseDarks(false);
    e.setUseBadPixelMap(false);
    cycle();
    ASSERT_TRUE(e.selectStarAutomatically());
    EXPECT_TRUE(onHotSpot(locked())) << "switched off, the frames are as the camera gave them";
    EXPECT_EQ(fp.store.get("Dark Options", "Use Darks"), "0");
}

// Several exposures in one run, taken while the loop runs: a dark per exposure on disk, found
// again by a new engine; the loop goes on at its own length. Stopping Preview ends a run and
// keeps what was stored.
TEST_F(DarkEngineTest, TakesADarkPerExposureAndStopsWithPreview) {
    GuideEngine& e = open();
    e.toggleLoop();
    cycle();
    takeDarks({3, {1.0, 2.0}});
    EXPECT_TRUE(e.state.previewing);
    EXPECT_EQ(e.state.nextExposureSec, 1.0f);
    const QString camera = e.cameraName();
    EXPECT_EQ(QDir(e.darkLibrary().cameraFolder(camera)).entryList(QDir::Files).size(), 2);
    DarkLibrary again(darks.path());
    const FrameShape shape{640, 480, 3, 8, 255};
    ASSERT_TRUE(again.find(camera, shape, 2.0));
    EXPECT_EQ(again.find(camera, shape, 2.0)->dark->frames, 3);

    QString said;
    QObject::connect(&e, &GuideEngine::darksDone, [&](bool, const QString& text) { said = text; });
    ASSERT_TRUE(e.startDarks({3, {4.0}}));
    EXPECT_FALSE(e.startDarks({3, {4.0}}));
    e.toggleLoop();
    EXPECT_FALSE(e.takingDarks());
    EXPECT_EQ(said, QStringLiteral("Darks stopped; none stored"));
    EXPECT_EQ(e.state.nextExposureSec, 1.0f);
}
