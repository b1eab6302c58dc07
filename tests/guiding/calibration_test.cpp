#include "fakes/fake_store.h"
#include "guiding/calibration_store.h"
#include "guiding/calibrator.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
constexpr double kStepMs = 100;
constexpr double kScale = 0.8; // arcsec per pixel

QPointF along(double degrees, double length) {
    const double a = degrees * std::numbers::pi / 180;
    return {std::cos(a) * length, std::sin(a) * length};
}

// A mount whose East pulse moves the star along `east` and North pulse along `north`
// (degrees), at the given speeds (px/s), while it drifts `drift` px per exposure.
struct SyntheticMount {
    double east = 0, north = 270;
    double raSpeed = 20, decSpeed = 20;
    QPointF drift{0.15, -0.05};
    double noise = 0; // px, per place
    int steps = 12;
    std::mt19937 random{7};

    CalibrationLeg leg(QPointF& star, QPointF perPulse) {
        std::normal_distribution<double> jitter(0, noise);
        CalibrationLeg leg{{}, static_cast<int32_t>(kStepMs)};
        for (int k = 0; k <= steps; ++k) {
            if (k > 0)
                star += perPulse + drift;
            leg.points.push_back(star +
                                 (noise > 0 ? QPointF(jitter(random), jitter(random)) : QPointF()));
        }
        return leg;
    }
    CalibrationPath path(bool withDec = true) {
        QPointF star(300, 200);
        const double s = kStepMs / 1000;
        CalibrationPath p;
        p.west = leg(star, -along(east, raSpeed * s));
        p.east = leg(star, along(east, raSpeed * s));
        if (withDec) {
            p.north = leg(star, along(north, decSpeed * s));
            p.south = leg(star, -along(north, decSpeed * s));
        }
        return p;
    }
};

const CalibrationContext kContext{kScale, kScale, "ASCOM Orvalis.Simulator", 10};

Calibration calibrated(const CalibrationPath& path) {
    auto outcome = computeCalibration(path, kContext);
    if (auto* failure = std::get_if<CalibrationFailure>(&outcome))
        ADD_FAILURE() << failure->reason.toStdString();
    return std::get_if<Calibration>(&outcome) ? std::get<Calibration>(outcome) : Calibration{};
}

CalibrationFailure failureOf(const CalibrationPath& path) {
    auto outcome = computeCalibration(path, kContext);
    auto* failure = std::get_if<CalibrationFailure>(&outcome);
    return failure ? *failure : CalibrationFailure{QStringLiteral("<calibrated>")};
}

double angleDifference(double a, double b) {
    return std::remainder(a - b, 360.0);
}
} // namespace

// Exact places with a drift: the drift cancels between the two legs of each axis, so angles
// and speeds come back exactly whatever the camera's angle.
TEST(CalibrationMaths, RecoversAnglesAndUnequalSpeedsDespiteDrift) {
    for (double angle : {0.0, 30.0, 90.0, 180.0, 270.0}) {
        SyntheticMount mount;
        mount.east = angle;
        mount.north = angle - 90;
        mount.raSpeed = 25;
        mount.decSpeed = 12;
        const Calibration c = calibrated(mount.path());
        EXPECT_NEAR(angleDifference(c.raAngle, angle), 0, 1e-6) << angle;
        EXPECT_NEAR(angleDifference(c.decAngle, angle - 90), 0, 1e-6) << angle;
        EXPECT_NEAR(c.raSpeed, 25, 1e-6);
        EXPECT_NEAR(c.decSpeed, 12, 1e-6);
        EXPECT_NEAR(c.decArcsecPerSec(), 12 * kScale, 1e-6);
        EXPECT_NEAR(c.orthogonalityError(), 0, 1e-6);
        EXPECT_FALSE(c.decMirrored()) << angle;
    }
}

TEST(CalibrationMaths, MirroredDecNoiseAndSkewWithinLimits) {
    SyntheticMount mirrored;
    mirrored.east = 30;
    mirrored.north = 120;
    const Calibration m = calibrated(mirrored.path());
    EXPECT_TRUE(m.decMirrored());
    EXPECT_NEAR(m.decAngle, 120, 1e-6);

    SyntheticMount noisy;
    noisy.east = 30;
    noisy.north = -60;
    noisy.noise = 0.4;
    const Calibration n = calibrated(noisy.path());
    EXPECT_NEAR(angleDifference(n.raAngle, 30), 0, 2);
    EXPECT_NEAR(angleDifference(n.decAngle, -60), 0, 2);
    EXPECT_NEAR(n.raSpeed, 20, 1);

    SyntheticMount skewed;
    skewed.north = 285; // 15 degrees from square: still guides
    EXPECT_NEAR(calibrated(skewed.path()).orthogonalityError(), 15, 1e-6);
    skewed.north = 295;
    EXPECT_TRUE(failureOf(skewed.path()).reason.contains("25.0 degrees from square"));
}

// Only RA pulses that barely moved the star are marked: near a pole that is what RA does.
TEST(CalibrationMaths, FailsOnTooLittleMotionOrALostStar) {
    SyntheticMount stuck;
    stuck.raSpeed = 2; // 12 steps of 0.2 px
    stuck.drift = {};
    const CalibrationFailure ra = failureOf(stuck.path());
    EXPECT_TRUE(ra.reason.contains("West pulses moved the star less than 10"));
    EXPECT_TRUE(ra.littleRaMotion);
    SyntheticMount stuckDec;
    stuckDec.decSpeed = 0;
    const CalibrationFailure dec = failureOf(stuckDec.path());
    EXPECT_TRUE(dec.reason.contains("North pulses"));
    EXPECT_FALSE(dec.littleRaMotion);

    SyntheticMount mount;
    CalibrationPath lost = mount.path();
    lost.east.points[4] = {0, 0};
    EXPECT_TRUE(failureOf(lost).reason.contains("lost while calibrating RA"));
    lost = mount.path();
    lost.south.points.back() = {0, 0};
    EXPECT_TRUE(failureOf(lost).reason.contains("lost while calibrating Dec"));

    const Calibration raOnly = calibrated(mount.path(false));
    EXPECT_FALSE(raOnly.hasDec);
    EXPECT_EQ(raOnly.orthogonalityError(), 0);
}

// With the camera turned 90 degrees (East along +y, North along +x) the error is split along
// the measured axes; pulse lengths follow the measured speeds, limits and aggressiveness
// apply as without a calibration, the reverse switches and typed rates do not.
TEST(CalibrationMaths, CorrectionsFollowTheCalibratedAxes) {
    Calibration c;
    c.raAngle = 90;
    c.raSpeed = 20; // 16 arcsec/s
    c.hasDec = true;
    c.decAngle = 0;
    c.decSpeed = 10; // 8 arcsec/s
    c.arcsecPerPixelX = c.arcsecPerPixelY = kScale;
    CorrectionSettings s{kScale, kScale, 1.0f, 10.0f, 999.0f, 999.0f, true, 1.5, true, true};

    const CalibratedError e = calibratedError(c, 3, 5); // star wants +3 x, +5 y
    EXPECT_NEAR(e.ra, 5 * kScale, 1e-9);
    EXPECT_NEAR(e.dec, 3 * kScale, 1e-9);
    Corrections k = calibratedCorrections(c, 3, 5, s);
    ASSERT_TRUE(k.ra && k.dec);
    EXPECT_EQ(k.ra->direction, guideEast);
    EXPECT_EQ(k.ra->ms, 375); // 4 arcsec at 16 arcsec/s, x 1.5
    EXPECT_EQ(k.dec->direction, guideNorth);
    EXPECT_EQ(k.dec->ms, 450); // 2.4 arcsec at 8 arcsec/s, x 1.5

    k = calibratedCorrections(c, -30, -1, s);
    ASSERT_TRUE(k.dec);
    EXPECT_FALSE(k.ra); // 0.8 arcsec: below the minimum
    EXPECT_EQ(k.dec->direction, guideSouth);
    EXPECT_EQ(k.dec->ms, 1875); // capped at 10 arcsec

    // A skewed Dec axis: the error is split along both axes, not projected square.
    c.decAngle = 20;
    const QPointF wanted = 2.0 * along(90, 1) + 4.0 * along(20, 1);
    const CalibratedError skew =
        calibratedError(c, static_cast<float>(wanted.x()), static_cast<float>(wanted.y()));
    EXPECT_NEAR(skew.ra, 2 * kScale, 1e-5);
    EXPECT_NEAR(skew.dec, 4 * kScale, 1e-5);

    // Without Dec, North is taken a quarter turn anticlockwise of East (+y): along +x.
    c.hasDec = false;
    EXPECT_FALSE(calibratedCorrections(c, 30, 30, s).dec);
    EXPECT_NEAR(calibratedError(c, 30, 5).ra, 5 * kScale, 1e-9);
    EXPECT_NEAR(calibratedError(c, 30, 5).dec, 30 * kScale, 1e-9);
    c.hasDec = true;
    s.decCorrect = false;
    EXPECT_FALSE(calibratedCorrections(c, 30, 30, s).dec);
}

// At the typed rates a first leg takes 10 to 15 steps; a small search window shortens the
// distance so that no step carries the star past a quarter of the window.
TEST(CalibrationPlanning, StepsCoverTheDistanceInTenToFifteen) {
    for (float rate : {5.0f, 15.0f, 30.0f})
        for (double scale : {0.5, 0.8, 2.5}) {
            const auto plan = planCalibration(rate, rate / 2, scale, 24, true);
            ASSERT_TRUE(plan);
            EXPECT_EQ(plan->distancePx, 25);
            const double raStepPx = rate * plan->raStepMs / 1000.0 / scale;
            const double decStepPx = rate / 2 * plan->decStepMs / 1000.0 / scale;
            for (double px : {raStepPx, decStepPx}) {
                const double steps = std::ceil(plan->distancePx / px - 1e-9);
                EXPECT_GE(steps, 10) << rate << " " << scale;
                EXPECT_LE(steps, 15) << rate << " " << scale;
            }
        }
    const auto small = planCalibration(15, 15, 0.8, 6, false);
    ASSERT_TRUE(small);
    EXPECT_LT(small->distancePx, 25);
    EXPECT_LE(15 * small->raStepMs / 1000.0 / 0.8, 6 / 4.0 + 0.01);
    EXPECT_EQ(small->decStepMs, 0);
    EXPECT_EQ(planCalibration(15, 15, 0.8, 24, false, 40)->distancePx, 40);
    EXPECT_FALSE(planCalibration(0, 15, 0.8, 24, false));
    EXPECT_FALSE(planCalibration(15, -1, 0.8, 24, true));
    EXPECT_TRUE(planCalibration(15, -1, 0.8, 24, false));
}

// The calibration with the pointing it was made at is read back; a mismatch of scale or guide
// output is told; a damaged store or a clear leaves none.
TEST(CalibrationStore, RoundTripClearAndMismatch) {
    FakeStore store;
    EXPECT_FALSE(readCalibration(store));
    SyntheticMount mount;
    mount.east = 30;
    mount.north = 300;
    Calibration c = calibrated(mount.path());
    c.time = QDateTime(QDate(2024, 5, 1), QTime(22, 30, 5), Qt::UTC);
    c.decDeg = -12.5;
    c.hourAngleH = -2.25;
    c.pierSide = PierSide::West;
    writeCalibration(store, c);
    const auto back = readCalibration(store);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->time, c.time);
    EXPECT_NEAR(back->raAngle, 30, 1e-6);
    EXPECT_NEAR(back->decAngle, 300, 1e-6);
    EXPECT_NEAR(back->decSpeed, 20, 1e-6);
    EXPECT_EQ(back->raPath.size(), c.raPath.size());
    EXPECT_NEAR(back->decPath.back().y(), c.decPath.back().y(), 1e-3);
    EXPECT_EQ(calibrationSummary(*back).last(),
              "Mount at Dec -12.5 deg, hour angle -2.25 h, pier side West");
    // A store from before the pointing was kept leaves it unknown.
    store.set(kCalibrationSection, "Declination", "");
    store.set(kCalibrationSection, "Pier Side", "sideways");
    const auto old = readCalibration(store);
    ASSERT_TRUE(old);
    EXPECT_EQ(old->decDeg, std::nullopt);
    EXPECT_EQ(old->pierSide, PierSide::Unknown);

    EXPECT_TRUE(
        calibrationMismatch(*back, kScale * 1.005, kScale, "ASCOM Orvalis.Simulator").isEmpty());
    EXPECT_TRUE(calibrationMismatch(*back, kScale * 1.5, kScale * 1.5, "ASCOM Orvalis.Simulator")
                    .contains("image scale"));
    EXPECT_EQ(calibrationMismatch(*back, kScale, kScale, "Parallel"),
              "The calibration was made with the simulator mount, the guide output is now the "
              "relay box: calibration not used, calibrate again");

    EXPECT_EQ(calibrationDistance(store), 25);
    store.set("Calibration Options", "Distance", "40");
    EXPECT_EQ(calibrationDistance(store), 40);
    store.set("Calibration Options", "Distance", "2");
    EXPECT_EQ(calibrationDistance(store), 25);

    store.set("Calibration Options", "RA Speed", "fast");
    EXPECT_FALSE(readCalibration(store));
    writeCalibration(store, c);
    clearCalibration(store);
    EXPECT_FALSE(readCalibration(store));
}
