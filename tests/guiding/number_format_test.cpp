#include "guiding/number_format.h"
#include "printers.h"

#include <QLocale>
#include <gtest/gtest.h>

TEST(NumberFormat, FixedDecimalsWithAPointAndNoGrouping) {
    EXPECT_EQ(formatFixed(0.25, 6), "0.250000");
    EXPECT_EQ(formatFixed(-12.5, 6), "-12.500000");
    EXPECT_EQ(formatFixed(1234.5, 3), "1234.500");
    EXPECT_EQ(formatFixed(1234567.0, 3), "1234567.000");
    EXPECT_EQ(formatFixed(-12.3456, 3), "-12.346");
    EXPECT_EQ(formatFixed(0.0004, 3), "0.000");
    EXPECT_EQ(formatFixed(-0.4, 0), "-0");
    EXPECT_EQ(formatFixed(-0.6, 0), "-1");
    EXPECT_EQ(formatFixed(1.6, -2), "2");
}

TEST(NumberFormat, NegativeValuesRoundingToZeroKeepTheirSign) {
    EXPECT_EQ(formatFixed(0.0, 3), "0.000");
    EXPECT_EQ(formatFixed(-0.0, 3), "0.000");
    EXPECT_EQ(formatFixed(-0.0001, 3), "-0.000");
    EXPECT_EQ(formatFixed(-0.0004, 6), "-0.000400");
    EXPECT_EQ(formatFixed(-0.0005001, 3), "-0.001");
    EXPECT_EQ(formatFixed(-1e-300, 6), "-0.000000");
    EXPECT_EQ(formatFixed(1e-300, 6), "0.000000");
}

TEST(NumberFormat, IgnoresTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(formatFixed(-1234.5, 3), "-1234.500");
    QLocale::setDefault(QLocale(QLocale::Arabic, QLocale::Egypt));
    EXPECT_EQ(formatFixed(0.802, 3), "0.802");
    QLocale::setDefault(saved);
}
