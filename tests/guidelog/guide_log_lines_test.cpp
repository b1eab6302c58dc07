#include "guidelog/guide_log_headers.h"
#include "guidelog/guide_log_lines.h"
#include "guidelog/guide_log_parser.h"
#include "guidelog/guide_log_snapshot.h"
#include "printers.h"

#include <QLocale>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

namespace {
constexpr int kColumns = 18;

GuideRecord foundRecord() {
    GuideRecord r;
    r.guiding = r.found = true;
    r.raPx = 0.856; // target - star: the star is left of and below its target
    r.decPx = -0.494;
    r.raLawArcsec = 1.5;
    r.raPulse = PulseRequest{guideEast, 227};
    r.star.flux = 1762.4;
    r.star.snr = 23.046;
    return r;
}

// Restores the default locale however the test ends.
struct DecimalCommaLocale {
    DecimalCommaLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~DecimalCommaLocale() { QLocale::setDefault(QLocale::c()); }
};

Calibration calibration(bool mirrored) {
    Calibration c;
    c.raAngle = 90; // East moves the star down: West up, -90
    c.raSpeed = 5.46;
    c.hasDec = true;
    c.decAngle = mirrored ? 180 : 0;
    c.decSpeed = 6.31;
    return c;
}
} // namespace

// Distances are star minus lock: on the frame's axes the record's pixels turned round, the
// law's arcsec by each axis's own scale; on the mount's axes by the mean scale.
TEST(GuideLogLines, FrameLineTurnsTheRecordsErrorsIntoStarMinusLockPixels) {
    GuideRecord r = foundRecord();
    QStringList f = splitLogRow(frameLine(1, 1.05, r, 0.5, 2.0));
    ASSERT_EQ(f.size(), kColumns);
    EXPECT_EQ(f, (QStringList{"1", "1.050", "Mount", "-0.856", "0.494", "-0.856", "0.494", "-3.000",
                              "0.000", "227", "E", "0", "", "", "", "1762", "23.05", "0"}));
    r.onMountAxes = true;
    r.mountRaArcsec = 2.5;
    r.mountDecArcsec = -1.25;
    r.decPulse = PulseRequest{guideNorth, 40};
    f = splitLogRow(frameLine(2, 2, r, 0.5, 2.0));
    EXPECT_EQ(f.mid(5, 8),
              (QStringList{"-2.000", "1.000", "-1.200", "0.000", "227", "E", "40", "N"}));
}

// A lost star keeps its frame number and time; everything measured is left empty.
TEST(GuideLogLines, DropLineKeepsNumberAndTimeAndTellsWhy) {
    GuideRecord r;
    r.guiding = true;
    const QString line = frameLine(57, 60.12, r, 1, 1);
    EXPECT_EQ(line, "57,60.120,\"DROP\",,,,,,,,,,,,,0,0.00,2,\"Star lost\"");
    EXPECT_EQ(splitLogRow(line).size(), kColumns + 1);
}

// Values no sensor should give still leave every column in place, in plain notation.
TEST(GuideLogLines, HugeAndUndefinedValuesKeepTheColumns) {
    GuideRecord r = foundRecord();
    r.raPx = -1e12;
    r.raPulse = PulseRequest{guideWest, INT32_MAX};
    r.star.snr = std::numeric_limits<double>::quiet_NaN();
    r.star.flux = std::numeric_limits<double>::infinity();
    const QStringList f = splitLogRow(frameLine(INT_MAX, 1e9, r, 0, 0));
    ASSERT_EQ(f.size(), kColumns);
    EXPECT_EQ(f[0], "2147483647");
    EXPECT_EQ(f[1], "1000000000.000");
    EXPECT_EQ(f[3], "1000000000000.000");
    EXPECT_EQ(f[7], "") << "a law distance at scale 0 is undefined";
    EXPECT_EQ(f[9], "2147483647");
    EXPECT_EQ(f[10], "W");
    EXPECT_EQ(f[15], "");
    EXPECT_EQ(f[16], "");
}

TEST(GuideLogLines, NumbersKeepAPointInADecimalCommaLocale) {
    const DecimalCommaLocale comma;
    ASSERT_EQ(QLocale().decimalPoint(), ",");
    const QStringList f = splitLogRow(frameLine(3, 1.5, foundRecord(), 0.5, 0.5));
    ASSERT_EQ(f.size(), kColumns);
    EXPECT_EQ(f[1], "1.500");
    EXPECT_EQ(f[16], "23.05");
    EXPECT_EQ(ditherInfo({1.234, -0.567}, {641.354, 511.763}),
              "INFO: DITHER by 1.234, -0.567, new lock pos = 641.354, 511.763");
    LogEquipment e;
    e.scaleX = e.scaleY = 1.19;
    e.pixelSizeUm = 5.2;
    const QStringList header =
        guidingHeaderLines({}, e, LogGuiding{}, LogStar{{640.12, 2}, {}, 2.5});
    EXPECT_TRUE(
        header.contains("Lock position = 640.120, 2.000, Star position = N/A, HFD = 2.50 px"))
        << header.join(" | ").toStdString();
    EXPECT_TRUE(header.contains("Pixel scale = 1.19 arc-sec/px, Focal length = 0 mm"))
        << header.join(" | ").toStdString();
    EXPECT_TRUE(header.contains("Dec = N/A, Hour angle = N/A, Pier side = N/A, Rotator pos = N/A"));
    addPointing(e, MountPointing{30, -0.5, 60, PierSide::East});
    EXPECT_TRUE(guidingHeaderLines({}, e, LogGuiding{}, {})
                    .contains("Dec = 30.0 deg, Hour angle = -0.50 hr, Pier side = East, "
                              "Rotator pos = N/A"));
}

// Without a calibration in use the mount line says so and gives no axes; with one, the West
// and North motions and the parity (mirrored Dec: "-").
TEST(GuideLogLines, GuidingHeaderGivesTheCalibrationInUseOrNone) {
    LogEquipment e;
    e.mount = "Mount %1, \"A\"";
    LogGuiding g;
    g.raLaw = "Standard, Minimum move = 2.50 arcsec";
    QStringList header = guidingHeaderLines({}, e, g, {});
    EXPECT_EQ(header.value(5), "Mount = Mount %1, \"A\", not connected, guiding enabled, "
                               "calibration = none");
    EXPECT_EQ(header.value(6), "X guide algorithm = Standard, Minimum move = 2.50 arcsec");
    EXPECT_EQ(header.last(), kFrameColumns);
    g.calibration = calibration(true);
    header = guidingHeaderLines({}, e, g, {});
    EXPECT_TRUE(header.value(5).endsWith("xAngle = -90.0, xRate = 5.460, yAngle = 180.0, "
                                         "yRate = 6.310, parity = +/-"))
        << header.value(5).toStdString();
    EXPECT_FALSE(header.join("\n").contains("Cal Dec"));
    g.calibration->decDeg = 30;
    EXPECT_TRUE(guidingHeaderLines({}, e, g, {}).join("\n").contains(", Cal Dec = 30.0"));
    g.calibration->hasDec = false;
    EXPECT_FALSE(guidingHeaderLines({}, e, g, {}).value(5).contains("yAngle"));
}

// A change is told once, under its own name; a law's parameters each count as one.
TEST(GuideLogLines, ParameterChangesNameOnlyWhatChanged) {
    LogEquipment e;
    e.exposureMs = 1000;
    LogGuiding g;
    g.raLaw = g.decLaw = "Standard, Minimum move = 2.50 arcsec, Aggressiveness = 100%";
    const LogParams before = guidingParams(e, g);
    EXPECT_TRUE(parameterChanges(before, before).isEmpty());
    g.raLaw = "Standard, Minimum move = 2.50 arcsec, Aggressiveness = 120%";
    e.exposureMs = 2000;
    EXPECT_EQ(parameterChanges(before, guidingParams(e, g)),
              (QStringList{"INFO: Guiding parameter change, Exposure = 2000 ms",
                           "INFO: Guiding parameter change, X Aggressiveness = 120%"}));
    g.raLaw = "Hysteresis, Hysteresis = 10%";
    EXPECT_TRUE(parameterChanges(before, guidingParams(e, g))
                    .contains("INFO: Guiding parameter change, X Hysteresis = 10%"));
}

// A direction's summary comes from its own first and last places; a lost place has none.
TEST(GuideLogLines, LegSummaryMeasuresTheDirectionsOwnMotion) {
    CalibrationLeg leg{{{100, 100}, {100, 97}, {100, 94}}, 500};
    const auto s = legSummary(leg);
    ASSERT_TRUE(s);
    EXPECT_EQ(legSummaryLine(guideWest, *s, false),
              "West calibration complete. Angle = -90.0 deg, Rate = 6.000 px/sec, "
              "Parity = Normal");
    leg.points.push_back({0, 0});
    EXPECT_FALSE(legSummary(leg));
    EXPECT_FALSE(legSummary(CalibrationLeg{{{1, 1}}, 500}));
    EXPECT_FALSE(decReversed({0, 1}, {1, 0})) << "North a quarter turn anticlockwise of East";
    EXPECT_TRUE(decReversed({0, 1}, {-1, 0}));
}
