#include "mount/pulse_math.h"
#include "printers.h"

#include <gtest/gtest.h>
#include <limits>

TEST(PulseMath, BacklashOnlyWhenTheAxisLastMovedTheOtherWay) {
    // East pulses pay backlash after West, North after South, and so on.
    EXPECT_FLOAT_EQ(backlashFor("W", "W", 120.0f), 120.0f);
    EXPECT_FLOAT_EQ(backlashFor("E", "W", 120.0f), 0.0f);
    EXPECT_FLOAT_EQ(backlashFor("S", "S", 80.5f), 80.5f);
    EXPECT_FLOAT_EQ(backlashFor("N", "S", 80.5f), 0.0f);
    EXPECT_FLOAT_EQ(backlashFor("", "E", 120.0f), 0.0f);  // first pulse on the axis
    EXPECT_FLOAT_EQ(backlashFor("w", "W", 120.0f), 0.0f); // letters compare case-sensitively
    EXPECT_FLOAT_EQ(backlashFor("N", "E", 120.0f), 0.0f); // the other axis's letter
}

TEST(PulseMath, RelayHoldRoundsHalvesToEvenAndIsNeverNegative) {
    EXPECT_EQ(relayHoldMs(0.0f, 500), 500);
    EXPECT_EQ(relayHoldMs(0.5f, 100), 100);
    EXPECT_EQ(relayHoldMs(0.5f, 101), 102);
    EXPECT_EQ(relayHoldMs(1.5f, 0), 2);
    EXPECT_EQ(relayHoldMs(2.5f, 0), 2);
    EXPECT_EQ(relayHoldMs(0.49f, 10), 10);
    EXPECT_EQ(relayHoldMs(0.51f, 10), 11);
    EXPECT_EQ(relayHoldMs(-50.0f, 20), 0);
    EXPECT_EQ(relayHoldMs(std::numeric_limits<float>::quiet_NaN(), 20), 0);
    EXPECT_EQ(relayHoldMs(1e12f, 20), std::numeric_limits<int32_t>::max());
}

TEST(PulseMath, AutostarTextsAreZeroFilledToFourDigitsHalvesAwayFromZero) {
    EXPECT_EQ(autostarCommand("Mgn", 0.0f, 500), "Mgn0500");
    EXPECT_EQ(autostarCommand("Mge", 0.0f, 12345), "Mge12345");
    EXPECT_EQ(autostarCommand("Mge", 0.0f, 0), "Mge0000");
    EXPECT_EQ(autostarCommand("Mgn", 0.5f, 100), "Mgn0101");
    EXPECT_EQ(autostarCommand("Mgn", 2.5f, 0), "Mgn0003");
    EXPECT_EQ(autostarCommand("Mgn", 0.4f, 100), "Mgn0100");
    EXPECT_EQ(autostarCommand("Mgs", -500.0f, 100), "Mgs0000");
}

TEST(PulseMath, NudgeTextsAreWholeMillisecondsWithinRange) {
    EXPECT_EQ(nudgeLength("500"), 500);
    EXPECT_EQ(nudgeLength("  750 "), 750);
    EXPECT_EQ(nudgeLength("250.5"), 250);
    EXPECT_EQ(nudgeLength("251.5"), 252);
    EXPECT_EQ(nudgeLength("99.6"), 100);
    EXPECT_EQ(nudgeLength("1.5"), 2);
    EXPECT_EQ(nudgeLength(".7"), 1);
    EXPECT_EQ(nudgeLength("12."), 12);
    EXPECT_EQ(nudgeLength("10000"), kMaxNudgeMs);
    EXPECT_EQ(nudgeLength("10000.5"), kMaxNudgeMs);
    for (const char* bad :
         {"", "   ", "abc", "0", "-5", "1e9", "1e2", "0.4", "0.5", "10000.6", "10001",
          "99999999999999999999", "1,5", "12abc", "0x10", ".", "inf", "nan", "1 000"})
        EXPECT_FALSE(nudgeLength(bad).has_value()) << bad;
}
