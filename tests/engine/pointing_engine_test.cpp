#include "engine/engine_fixture.h"

#include <numbers>

namespace {
double cosd(double deg) {
    return std::cos(deg * std::numbers::pi / 180);
}

class PointingEngineTest : public EngineTest {
protected:
    void calibrate() {
        GuideEngine& e = *engine;
        ASSERT_TRUE(e.selectStarAutomatically());
        ASSERT_TRUE(e.startCalibration(true));
        for (int exposures = 0; e.calibrating() && exposures < 400; ++exposures)
            cycle();
        ASSERT_FALSE(e.calibrating());
        ASSERT_NE(e.calibrationInUse(), nullptr);
    }
    // Knocked off by an East pulse, the star comes back within a few cycles and stays near
    // the target; the RMS of the larger axis error over the following cycles, arcsec.
    double holds() {
        GuideEngine& e = *engine;
        sky.pulse(guideEast, 600);
        for (int i = 0; i < 6; ++i)
            cycle();
        const double minimum = e.state.minCorrection;
        EXPECT_LT(error(), minimum + 1.5);
        double sumSquares = 0;
        for (int i = 0; i < 40; ++i) {
            cycle();
            EXPECT_FALSE(e.state.lockLost) << "cycle " << i;
            sumSquares += error() * error();
        }
        return std::sqrt(sumSquares / 40);
    }
    // Guiding stops for the slew; the star is found again and guiding starts anew, as an
    // imaging program does it.
    void slewAndGuideAgain(double decDeg, bool pierWest) {
        GuideEngine& e = *engine;
        e.stopGuiding();
        sky.slew(decDeg, pierWest);
        cycle();
        ASSERT_TRUE(e.selectStarAutomatically());
        ASSERT_TRUE(e.startGuiding());
    }
};
} // namespace

// Calibrated at Dec +10 on the East side of the pier, the engine guides on at Dec +60 and
// after a meridian flip without a new calibration: RA pulses last cos(10)/cos(60) as long,
// the flip turns both axes half a turn, and the star stays held as well as before.
TEST_F(PointingEngineTest, GuidesOnThroughASlewAndAMeridianFlipWithoutRecalibrating) {
    fp.store.set("Calibration Options", "Use Calibration", "1");
    sky.slew(10, false);
    GuideEngine& e = open();
    QStringList notes;
    QObject::connect(&e, &GuideEngine::noted, [&](const QString& text) { notes << text; });
    e.toggleLoop();
    cycle();
    calibrate();
    const Calibration made = *e.calibration();
    EXPECT_EQ(made.decDeg, 10.0);
    EXPECT_EQ(made.pierSide, PierSide::East);
    ASSERT_TRUE(e.startGuiding());
    const double before = holds();
    EXPECT_LT(before, e.state.minCorrection);

    slewAndGuideAgain(60, false);
    ASSERT_NE(e.calibrationInUse(), nullptr);
    EXPECT_NEAR(e.calibrationInUse()->raSpeed, made.raSpeed * cosd(60) / cosd(10), 1e-9);
    EXPECT_TRUE(notes.contains("Calibration adjusted: RA pulses 1.97x as long at Dec +60 "
                               "(calibrated at Dec +10)"))
        << notes.join("\n").toStdString();
    const double slewed = holds();
    EXPECT_LT(slewed, before * 1.2 + 0.1);

    slewAndGuideAgain(60, true);
    const Calibration* flipped = e.calibrationInUse();
    ASSERT_NE(flipped, nullptr);
    EXPECT_NEAR(flipped->raAngle, std::fmod(made.raAngle + 180, 360), 1e-9);
    EXPECT_NEAR(flipped->decAngle, std::fmod(made.decAngle + 180, 360), 1e-9);
    const double afterFlip = holds();
    EXPECT_LT(afterFlip, before * 1.2 + 0.1);
    EXPECT_EQ(e.calibration()->time, made.time) << "no new calibration";
}
