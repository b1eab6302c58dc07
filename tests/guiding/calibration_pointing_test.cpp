#include "guiding/calibration_pointing.h"
#include "mount/sky_angles.h"
#include "printers.h"

#include <QTimeZone>
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>

namespace {
double cosd(double deg) {
    return std::cos(deg * std::numbers::pi / 180);
}

Calibration madeAt(std::optional<double> dec, PierSide side) {
    Calibration c;
    c.raAngle = 90;
    c.raSpeed = 6;
    c.hasDec = true;
    c.decAngle = 350;
    c.decSpeed = 5;
    c.arcsecPerPixelX = c.arcsecPerPixelY = 1.25;
    c.decDeg = dec;
    c.pierSide = side;
    return c;
}

// Every error corrected in full, both axes, at the calibration's scale.
CorrectionSettings fullCorrections() {
    CorrectionSettings s;
    s.arcsecPerPixelX = s.arcsecPerPixelY = 1.25;
    s.maxCorrection = 100;
    s.decCorrect = true;
    s.aggressiveness = 1;
    return s;
}

MountPointing at(std::optional<double> dec, PierSide side) {
    MountPointing p;
    p.decDeg = dec;
    p.pierSide = side;
    return p;
}
} // namespace

// A slew from Dec 10 to Dec 60 slows the star's RA motion by cos(60)/cos(10): the RA pulse for
// the same error grows by the inverse; Dec pulses stay.
TEST(CalibrationPointing, ScalesRaPulsesByCosineOfDeclination) {
    const Calibration c = madeAt(10, PierSide::East);
    const PointingAdjustment a = pointingAdjustment(c, at(60, PierSide::East), false);
    EXPECT_NEAR(a.raSpeedFactor, cosd(60) / cosd(10), 1e-12);
    EXPECT_FALSE(a.pierFlipped);
    const Calibration now = adjustedCalibration(c, a);
    const CorrectionSettings s = fullCorrections();
    const Corrections before = calibratedCorrections(c, 0, -4, s);
    const Corrections after = calibratedCorrections(now, 0, -4, s);
    ASSERT_TRUE(before.ra && after.ra);
    EXPECT_NEAR(double(after.ra->ms) / before.ra->ms, cosd(10) / cosd(60), 0.01);
    EXPECT_EQ(after.ra->direction, before.ra->direction);
    EXPECT_EQ(after.dec.has_value(), before.dec.has_value());
    if (after.dec) {
        EXPECT_EQ(after.dec->ms, before.dec->ms);
    }
    EXPECT_EQ(adjustmentText(c, a),
              "Calibration adjusted: RA pulses 1.97x as long at Dec +60 (calibrated at Dec +10)");
    // Near the pole the factor stops growing instead of running to infinity.
    const PointingAdjustment pole = pointingAdjustment(c, at(89.9, PierSide::East), false);
    EXPECT_NEAR(pole.raSpeedFactor, cosd(kMaxScaledDec) / cosd(10), 1e-12);
}

// After a meridian flip the East pulse moves the star the other way, and the North pulse too
// unless the mount reverses Dec itself; the same error then asks for the opposite pulses.
TEST(CalibrationPointing, AMeridianFlipReversesRaAndDecUnlessTheMountKeepsDec) {
    const Calibration c = madeAt(20, PierSide::East);
    const PointingAdjustment flip = pointingAdjustment(c, at(20, PierSide::West), false);
    ASSERT_TRUE(flip.pierFlipped);
    ASSERT_TRUE(flip.decReversed);
    const Calibration now = adjustedCalibration(c, flip);
    EXPECT_DOUBLE_EQ(now.raAngle, 270);
    EXPECT_DOUBLE_EQ(now.decAngle, 170);
    EXPECT_EQ(now.decMirrored(), c.decMirrored());
    const CorrectionSettings s = fullCorrections();
    const Corrections before = calibratedCorrections(c, 3, -4, s);
    const Corrections after = calibratedCorrections(now, 3, -4, s);
    ASSERT_TRUE(before.ra && after.ra && before.dec && after.dec);
    EXPECT_NE(after.ra->direction, before.ra->direction);
    EXPECT_NE(after.dec->direction, before.dec->direction);
    EXPECT_EQ(adjustmentText(c, flip), "Calibration adjusted: the mount is now on the West side "
                                       "of the pier (calibrated on the East): RA and Dec reversed");

    const PointingAdjustment kept = pointingAdjustment(c, at(20, PierSide::West), true);
    EXPECT_TRUE(kept.pierFlipped);
    EXPECT_FALSE(kept.decReversed);
    EXPECT_DOUBLE_EQ(adjustedCalibration(c, kept).decAngle, 350);
}

// What the mount did not say changes nothing: no adjustment, no text.
TEST(CalibrationPointing, UnknownPointingLeavesTheCalibrationAsMade) {
    for (const auto& [made, now] :
         {std::pair{madeAt(std::nullopt, PierSide::Unknown), at(40, PierSide::West)},
          std::pair{madeAt(10, PierSide::East), at(std::nullopt, PierSide::Unknown)}}) {
        const PointingAdjustment a = pointingAdjustment(made, now, false);
        EXPECT_EQ(a.raSpeedFactor, 1);
        EXPECT_FALSE(a.pierFlipped);
        EXPECT_EQ(adjustmentText(made, a), "");
        EXPECT_EQ(adjustedCalibration(made, a).raAngle, made.raAngle);
    }
}

// Checked against almanac values: mean sidereal time at Greenwich on 2000-01-01 0h UT was
// 6h 39m 52.27s.
TEST(SkyAngles, SiderealTimeHourAngleAndAltitude) {
    const QDateTime j2000(QDate(2000, 1, 1), QTime(0, 0), Qt::UTC);
    EXPECT_NEAR(localSiderealHours(j2000, 0), 6 + 39 / 60.0 + 52.27 / 3600, 1e-4);
    // 120 degrees west: 8 hours earlier, wrapped into 0..24.
    EXPECT_NEAR(localSiderealHours(j2000, -120), 6 + 39 / 60.0 + 52.27 / 3600 - 8 + 24, 1e-4);
    EXPECT_NEAR(hourAngleHours(1, 23.5), 1.5, 1e-12);
    EXPECT_NEAR(hourAngleHours(23, 1), -2, 1e-12);
    EXPECT_NEAR(altitudeDeg(0, 0, 0), 90, 1e-9);
    EXPECT_NEAR(altitudeDeg(50, 90, 5), 50, 1e-9);
    EXPECT_NEAR(altitudeDeg(50, 0, 6), 0, 1e-9);
}
