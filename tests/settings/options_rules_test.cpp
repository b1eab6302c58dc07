#include "platform/proc_parport.h"
#include "printers.h"
#include "settings/options_rules.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(LXPortEntries, CaptionsAndTheDevicesTheyDrive) {
    EXPECT_EQ(lxPortCaption(2), "LPT3");
    EXPECT_EQ(lxPortCaption(19), "");
    EXPECT_EQ(lxPortCaption(-1), "");

    QTemporaryDir proc;
    writeBaseAddr(proc.path(), "parport1", "888\t1912\n");
    EXPECT_EQ(lxPortDevice(0, proc.path()), "/dev/parport1");
    EXPECT_EQ(lxPortDevice(2, proc.path()), "/dev/parport2");
    EXPECT_EQ(lxPortDevice(7), "/dev/ttyUSB0");
    EXPECT_EQ(lxPortDevice(19), "");
}

TEST(StoredOptionTexts, PortAndBitMustBeWholeNumbersInRange) {
    EXPECT_EQ(shownPortIndex("-1"), -1);
    EXPECT_EQ(shownPortIndex(" 18 "), 18);
    for (const char* bad : {"19", "-2", "1.5", "", "COM1"})
        EXPECT_EQ(shownPortIndex(bad), std::nullopt) << bad;
    EXPECT_EQ(shownBit("0"), 0);
    EXPECT_EQ(shownBit("7"), 7);
    for (const char* bad : {"8", "-1", "6.0", "D6"})
        EXPECT_EQ(shownBit(bad), std::nullopt) << bad;
}

// The main window's rules: positive pixel sizes, a positive whole focal length; a text it
// would not take is named, not turned into a scale.
TEST(ImageScaleText, ScaleOfUsableTextsAndNamesOfTheOthers) {
    EXPECT_EQ(imageScaleText("5.2", "5.2", "900"), "Image scale: 1.19 x 1.19 arcsec per pixel");
    EXPECT_EQ(imageScaleText(" 5.6", "11.2", "1440"), "Image scale: 0.80 x 1.60 arcsec per pixel");
    EXPECT_EQ(imageScaleText("0", "5.2", "900"),
              "Image scale: not a positive number: horizontal pixel size");
    EXPECT_EQ(imageScaleText("5.2", "-5", "900.5"),
              "Image scale: not a positive number: vertical pixel size, focal length (whole mm)");
    EXPECT_EQ(imageScaleText("5.2", "5.2", "abc"),
              "Image scale: not a positive number: focal length (whole mm)");
}

TEST(TypedOptionTexts, BadNumbersAreRefusedWithTheirRangeAndUnit) {
    EXPECT_EQ(fieldProblem(OptionField::Radius, "abc"),
              "Radius must be a whole number of pixels from 1 to 255");
    EXPECT_EQ(fieldProblem(OptionField::FocalLength, "-1440"),
              "Focal length must be a whole number of mm from 1 to 100000");
    EXPECT_EQ(fieldProblem(OptionField::HrzPixelSize, "0"),
              "Horizontal pixel size must be a number of microns from 0.1 to 100");
    EXPECT_EQ(fieldProblem(OptionField::MaxError, ""),
              "Maximum error must be a number of arcsec from 0.01 to 3600");
    for (const char* bad : {"-5", "99999999999", "", "1e400", "nan", "15,0"})
        EXPECT_EQ(fieldProblem(OptionField::RAGuideRate, bad),
                  "RA guide rate must be a number of arcsec per second from 0.1 to 1000")
            << bad;
    EXPECT_FALSE(fieldProblem(OptionField::FocalLength, "99999999999").isEmpty());
    EXPECT_FALSE(fieldProblem(OptionField::FocalLength, "1440.5").isEmpty());
    EXPECT_FALSE(fieldProblem(OptionField::PostLXTime, "-1").isEmpty());
    EXPECT_FALSE(fieldProblem(OptionField::DecBacklash, "-0.5").isEmpty());
    EXPECT_FALSE(fieldProblem(OptionField::VrtPixelSize, "").isEmpty());
}

TEST(TypedOptionTexts, MinimumErrorAboveTheMaximumIsRefusedOnlyWhenBothAreNumbers) {
    EXPECT_EQ(errorOrderProblem("3", "2.5"),
              "Minimum error must not be above the maximum error (2.5 arcsec)");
    EXPECT_EQ(errorOrderProblem("2.5", "2.5"), "");
    EXPECT_EQ(errorOrderProblem(" 0 ", "10"), "");
    EXPECT_EQ(errorOrderProblem("abc", "1"), ""); // the field's own problem is told instead
    EXPECT_EQ(errorOrderProblem("3", ""), "");
}

TEST(TypedOptionTexts, UsableNumbersAndTheBoundsThemselvesPass) {
    const std::pair<OptionField, const char*> good[] = {
        {OptionField::Radius, "24"},          {OptionField::Radius, "1"},
        {OptionField::Radius, " 255 "},       {OptionField::FocalLength, "1"},
        {OptionField::FocalLength, "100000"}, {OptionField::HrzPixelSize, "5.6"},
        {OptionField::VrtPixelSize, "0.1"},   {OptionField::VrtPixelSize, "100"},
        {OptionField::PostLXTime, "0"},       {OptionField::PostLXTime, "10000"},
        {OptionField::RAGuideRate, "15"},     {OptionField::DecGuideRate, "7.52"},
        {OptionField::MaxError, "15.0"},      {OptionField::MinError, "0"},
        {OptionField::MinError, "2.5"},       {OptionField::RABacklash, "250.5"},
        {OptionField::DecBacklash, "10000"},
    };
    for (const auto& [field, text] : good)
        EXPECT_EQ(fieldProblem(field, text), "") << text;
    const std::pair<OptionField, const char*> justOutside[] = {
        {OptionField::Radius, "0"},           {OptionField::Radius, "256"},
        {OptionField::FocalLength, "0"},      {OptionField::FocalLength, "100001"},
        {OptionField::PostLXTime, "10001"},   {OptionField::HrzPixelSize, "0.09"},
        {OptionField::HrzPixelSize, "100.1"}, {OptionField::MaxError, "0"},
        {OptionField::RABacklash, "10000.5"}, {OptionField::DecGuideRate, "1000.5"},
    };
    for (const auto& [field, text] : justOutside)
        EXPECT_NE(fieldProblem(field, text), "") << text;
}
