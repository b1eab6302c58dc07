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
