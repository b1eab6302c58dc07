#include "printers.h"
#include "settings/convert.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(Convert, WholeNumbersRejectFractionsLettersBlanksAndRange) {
    EXPECT_EQ(toWhole("24", 0, 255), 24);
    EXPECT_EQ(toWhole(" 7 ", 0, 255), 7);
    EXPECT_EQ(toWhole("-1", -1, 18), -1);
    EXPECT_EQ(toWhole("255", 0, 255), 255);
    for (const char* bad : {"", " ", "abc", "2.5", "1e2", "300", "-2", "0x10", "1,000", "12abc"})
        EXPECT_FALSE(toWhole(bad, -1, 255).has_value()) << bad;
}

TEST(Convert, FlagsAreNumbersZeroFalse) {
    EXPECT_EQ(toFlag("0"), false);
    EXPECT_EQ(toFlag("1"), true);
    EXPECT_EQ(toFlag("-1"), true);
    EXPECT_EQ(toFlag("2"), true);
    for (const char* bad : {"", "yes", "true", "nan"})
        EXPECT_FALSE(toFlag(bad).has_value()) << bad;
}

TEST(Convert, RealsUseAPointWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_FLOAT_EQ(*toSingle("5.6"), 5.6f);
    EXPECT_FLOAT_EQ(*toSingle("-0.25"), -0.25f);
    EXPECT_FALSE(toSingle("5,6").has_value());
    for (const char* bad : {"", "abc", "inf", "nan", "1e39"})
        EXPECT_FALSE(toSingle(bad).has_value()) << bad;
    EXPECT_EQ(fromSingle(5.6f), "5.6");
    EXPECT_EQ(fromSingle(0.1f), "0.1");
    EXPECT_EQ(fromWhole(-12), "-12");
    QLocale::setDefault(saved);
}
