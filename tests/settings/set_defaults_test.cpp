#include "app/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QSlider>

namespace {
const char* cam = "Camera Options";
const char* gdg = "Guiding Options";

// The start-up values of every key a stored text can spoil.
void expectStartUpValues(const frmMain& w, const FakePlatform& p) {
    const MainState& s = w.state;
    EXPECT_EQ(s.focalLength, 1440);
    EXPECT_EQ(Globals::searchRadius, 24);
    EXPECT_EQ(Globals::lxPortAddress, 888);
    EXPECT_TRUE(p.serial.calls.isEmpty());
    EXPECT_EQ(w.sldExposure->value(), 1);
    EXPECT_EQ(w.sldAggressiveness->value(), 100);
    EXPECT_FALSE(w.chkRevNS->isChecked() || w.chkRevEW->isChecked());
    EXPECT_EQ(s.postLXTime, 20);
    EXPECT_NEAR(s.arcsecPerPixelX, 0.8021417, 1e-7);
    EXPECT_NEAR(s.arcsecPerPixelY, 0.8021417, 1e-7);
    EXPECT_FLOAT_EQ(s.raGuideRate, 30);
    EXPECT_EQ(s.ppNorthBit, 6);
    EXPECT_FALSE(s.camModified);
    EXPECT_EQ(s.driverIndex, 0);
    EXPECT_FLOAT_EQ(s.minCorrection, 2.5f);
    EXPECT_TRUE(p.messages.texts.isEmpty());
}
} // namespace

using SetDefaults = WindowTest;

TEST_F(SetDefaults, EmptyStoreGivesTheStartUpValues) {
    frmMain& w = open();
    const MainState& s = w.state;
    EXPECT_TRUE(s.modeAscom);
    EXPECT_FALSE(s.modeParallel || s.modeSerial);
    EXPECT_TRUE(w.mnuAscom->isChecked());
    expectStartUpValues(w, fp);
    EXPECT_FLOAT_EQ(s.pixelSizeH, 5.6f);
    EXPECT_FLOAT_EQ(s.pixelSizeV, 5.6f);
    EXPECT_FLOAT_EQ(s.decGuideRate, 30);
    EXPECT_FLOAT_EQ(s.raBacklash, 0);
    EXPECT_FLOAT_EQ(s.decBacklash, 0);
    EXPECT_FLOAT_EQ(s.maxCorrection, 10.0f);
    EXPECT_FALSE(s.decCorrect || s.autostarPulseGuide);
    EXPECT_DOUBLE_EQ(s.aggressiveness, 1.0);
    EXPECT_EQ(w.lblLX->text(), "1");
    EXPECT_EQ(s.lxPortIndex, 0);
    EXPECT_EQ(s.lxCommPort, 0);
    EXPECT_EQ(s.lxSerialPin, "RTS");
    EXPECT_TRUE(s.lxSerialActive);
    EXPECT_EQ(std::vector<int>({s.ppNorthBit, s.ppSouthBit, s.ppEastBit, s.ppWestBit}),
              std::vector<int>({6, 7, 4, 5}));
    EXPECT_EQ(std::vector<int>({s.lxaBit, s.lxbBit, s.ampOffBit}), std::vector<int>({0, 1, 2}));
    EXPECT_FALSE(s.appendLog);
    EXPECT_EQ(s.logFilename, QDir::homePath() + "/GuidingErrors.log");
    EXPECT_FALSE(s.hasAmpOff || s.hasAdvancedMod);
    // Unmodified camera: the port is cleared and no bit is raised.
    EXPECT_EQ(fp.parallelPort.calls, QStringList{"out 888 0"});
    // Only the guide output and the connected camera write their keys; reads never create one.
    EXPECT_EQ(fp.store.writes,
              QStringList({"Guiding Options/GuideMode=ASCOM", "Camera Options/DriverIndex=0",
                           "Camera Options/DriverName=Test Camera 1.0.0"}));
}

TEST_F(SetDefaults, PortIndexChoosesParallelAddressOrComPort) {
    fp.store.set(cam, "Port", "-1");
    frmMain& w = open();
    EXPECT_EQ(Globals::lxPortAddress, 0);
    EXPECT_EQ(w.state.lxCommPort, 0);
    EXPECT_TRUE(fp.serial.calls.isEmpty());
    EXPECT_TRUE(fp.parallelPort.calls.isEmpty());

    fp.store.set(cam, "Port", "3");
    w.setDefaults();
    EXPECT_EQ(w.state.lxCommPort, 1);
    EXPECT_EQ(fp.serial.port, 1);
    EXPECT_EQ(fp.serial.lineSettings, "9600,N,8,1");
    EXPECT_EQ(fp.serial.calls, QStringList({"open COM1", "RTS 1", "DTR 1"}));

    fp.store.set(cam, "Port", "18");
    fp.store.set(cam, "LXSerialActive", "0");
    fp.serial.calls.clear();
    w.setDefaults();
    EXPECT_EQ(fp.serial.calls, QStringList({"close", "open COM16", "RTS 0", "DTR 0"}));

    fp.store.set(cam, "Port", "2");
    fp.serial.calls.clear();
    w.setDefaults();
    EXPECT_EQ(Globals::lxPortAddress, 956);
    EXPECT_EQ(w.state.lxCommPort, 0);
    EXPECT_EQ(fp.serial.calls, QStringList{"close"});
    EXPECT_FALSE(fp.serial.isOpen);
}

TEST_F(SetDefaults, UnavailableComPortIsReportedAndStartUpGoesOn) {
    fp.store.set(cam, "Port", "5");
    fp.serial.failOpen = true;
    frmMain& w = open();
    EXPECT_EQ(fp.messages.texts, QStringList{"The Com port selected is not available"});
    EXPECT_EQ(fp.messages.icons, std::vector<MessageIcon>{MessageIcon::None});
    EXPECT_FALSE(fp.serial.isOpen);
    EXPECT_EQ(w.state.lxCommPort, 3);
}

TEST_F(SetDefaults, ModifiedCameraRestBitsOnTheParallelPort) {
    fp.store.set(cam, "VX Modified", "1");
    fp.store.set(cam, "HasAmpOff", "1");
    open();
    // Cleared first, then AmpOff before Frame A; no Frame B without the advanced modification.
    EXPECT_EQ(fp.parallelPort.calls, QStringList({"out 888 0", "set 888 2", "set 888 0"}));
    EXPECT_EQ(fp.parallelPort.registers[888], 0b101);

    fp.store.set(cam, "HasAdvancedMod", "1");
    fp.store.set(cam, "HasAmpOff", "0");
    fp.parallelPort.calls.clear();
    window->setDefaults();
    // A reload raises lines but never clears one: AmpOff stays up.
    EXPECT_EQ(fp.parallelPort.calls, QStringList({"set 888 0", "set 888 1"}));
    EXPECT_EQ(fp.parallelPort.registers[888], 0b111);
}

TEST_F(SetDefaults, ModifiedCameraRestLevelsOnTheSerialPort) {
    fp.store.set(cam, "VX Modified", "1");
    fp.store.set(cam, "Port", "4");
    fp.store.set(cam, "LXSerialActive", "0");
    fp.serial.dtr = fp.serial.rts = true;
    open();
    EXPECT_EQ(fp.serial.calls, QStringList({"open COM2", "RTS 0", "DTR 0", "DTR 0", "RTS 0"}));
    EXPECT_TRUE(fp.parallelPort.calls.isEmpty());
    EXPECT_FALSE(fp.serial.dtr || fp.serial.rts);
}

TEST_F(SetDefaults, GuideModeMatchesExactly) {
    fp.store.set(gdg, "GuideMode", "ascom");
    frmMain& w = open();
    EXPECT_FALSE(w.state.modeAscom || w.state.modeParallel || w.state.modeSerial);
    EXPECT_TRUE(w.mnuAscom->isChecked());
    EXPECT_TRUE(fp.store.writesOf(gdg, "GuideMode").isEmpty());

    fp.store.set(gdg, "GuideMode", "Serial");
    w.setDefaults();
    EXPECT_TRUE(w.state.modeSerial);
    EXPECT_FALSE(w.state.modeAscom || w.state.modeParallel);
    EXPECT_TRUE(w.mnuSerial->isChecked());
    EXPECT_FALSE(w.mnuSerial->isEnabled());
    EXPECT_FALSE(w.mnuAscom->isChecked());

    fp.store.set(gdg, "GuideMode", "Parallel");
    w.setDefaults();
    EXPECT_TRUE(w.state.modeParallel);
    EXPECT_TRUE(w.mnuParallel->isChecked());
    EXPECT_FALSE(w.mnuSerial->isChecked());
}

TEST_F(SetDefaults, SecondLoadOfAnUnchangedStoreOnlyRewritesGuideModeAndReopensTheComPort) {
    fp.store.set(cam, "Port", "3");
    fp.store.set(cam, "Exposure", "7");
    fp.store.set(gdg, "Aggressiveness", "80");
    fp.store.set(gdg, "ReverseNS", "1");
    frmMain& w = open();
    const QStringList firstWrites = fp.store.writes;
    fp.store.writes.clear();
    fp.serial.calls.clear();
    const double scale = w.state.arcsecPerPixelX;

    w.setDefaults();
    EXPECT_EQ(fp.store.writes, QStringList{"Guiding Options/GuideMode=ASCOM"});
    EXPECT_EQ(fp.serial.calls, QStringList({"close", "open COM1", "RTS 1", "DTR 1"}));
    EXPECT_EQ(w.sldExposure->value(), 7);
    EXPECT_DOUBLE_EQ(w.state.aggressiveness, 0.8);
    EXPECT_TRUE(w.chkRevNS->isChecked());
    EXPECT_EQ(w.state.arcsecPerPixelX, scale);
    // The first load moved the controls, and each wrote its own value back.
    EXPECT_TRUE(firstWrites.contains("Camera Options/Exposure=7"));
    EXPECT_TRUE(firstWrites.contains("Guiding Options/Aggressiveness=80"));
    EXPECT_TRUE(firstWrites.contains("Guiding Options/ReverseNS=1"));
}

// Every stored text that does not convert keeps that key's start-up default; the load goes on
// and the window opens.
TEST_F(SetDefaults, UnconvertibleTextsKeepTheirDefaults) {
    const std::vector<std::pair<const char*, const char*>> bad = {{"FocalLength", "abc"},
                                                                  {"Radius", "300"},
                                                                  {"Radius", ""},
                                                                  {"Port", "99"},
                                                                  {"Exposure", "0"},
                                                                  {"Exposure", "2.5"},
                                                                  {"Aggressiveness", "500"},
                                                                  {"ReverseEW", "7"},
                                                                  {"PostLXTime", "-1"},
                                                                  {"HorizontalPixelSize", ""},
                                                                  {"VerticalPixelSize", "-3"},
                                                                  {"RA Guide Rate", "fast"},
                                                                  {"North", "8"},
                                                                  {"VX Modified", "yes"},
                                                                  {"DriverIndex", "1.5"},
                                                                  {"Minumum Correction", "1,5"}};
    for (const auto& [key, text] : bad) {
        SCOPED_TRACE(std::string(key) + "=" + text);
        FakePlatform fresh;
        for (const char* section :
             {"Camera Options", "Guiding Options", "Guidescope Options", "Parallel Options"})
            fresh.store.set(section, key, text);
        frmMain w(fresh.platform());
        expectStartUpValues(w, fresh);
    }
}

// Each axis has its own scale, and a zero focal length or pixel size keeps the previous one
// rather than dividing by it. A greyed reverse box counts as set.
TEST_F(SetDefaults, ScalePerAxisZeroSizesAndGreyedReverse) {
    fp.store.set(cam, "VerticalPixelSize", "7.4");
    fp.store.set("guidescope options", "focallength", "500");
    fp.store.set(gdg, "ReverseNS", "2");
    frmMain& w = open();
    const double x = w.state.arcsecPerPixelX, y = w.state.arcsecPerPixelY;
    EXPECT_NEAR(x, 2.31, 0.005);
    EXPECT_NEAR(y, 3.053, 0.005);
    EXPECT_TRUE(w.chkRevNS->isChecked());

    fp.store.set("guidescope options", "focallength", "0");
    fp.store.set(cam, "HorizontalPixelSize", "0");
    w.setDefaults();
    EXPECT_EQ(w.state.arcsecPerPixelX, x);
    EXPECT_EQ(w.state.arcsecPerPixelY, y);
}
