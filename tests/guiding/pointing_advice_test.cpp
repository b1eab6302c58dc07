#include "guiding/pointing_advice.h"
#include "printers.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(PointingAdvice, WarnsBeyondSixtyDegreesOnlyAndNamesTheDeclination) {
    EXPECT_EQ(calibrationPointingWarning(std::nullopt), "");
    EXPECT_EQ(calibrationPointingWarning(60.0), "");
    EXPECT_EQ(calibrationPointingWarning(-59.0), "");
    EXPECT_EQ(calibrationPointingWarning(NAN), "");
    EXPECT_EQ(calibrationPointingWarning(85.0),
              "The mount points at Dec +85: so near the pole RA pulses hardly move the star. "
              "Calibrate within 60 degrees of the celestial equator.");
    EXPECT_TRUE(calibrationPointingWarning(-89.6).startsWith("The mount points at Dec -90:"));
}

// The cause is added only where it explains the failure: RA barely moved, mount near a pole.
TEST(PointingAdvice, ExplainsLittleRaMotionNearAPole) {
    const QString reason = "Calibration failed: the West pulses moved the star less than 10 "
                           "pixels. Check the guide output and the guide rate.";
    EXPECT_EQ(explainCalibrationFailure(reason, true, 90.0),
              reason + " Likely cause: the mount points at Dec +90, near the celestial pole, "
                       "where RA pulses hardly move the star; point it within 60 degrees of the "
                       "equator and calibrate again.");
    EXPECT_EQ(explainCalibrationFailure(reason, true, 30.0), reason);
    EXPECT_EQ(explainCalibrationFailure(reason, true, std::nullopt), reason);
    EXPECT_EQ(explainCalibrationFailure(reason, false, 90.0), reason);
}
