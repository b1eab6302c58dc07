#include "app/button_colour.h"
#include "app/main_window_probe.h"
#include "app/window_fixture.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using Probe = MainWindowProbe;

class Pulses : public WindowTest {
protected:
    frmMain& ascom(bool connected = true) {
        frmMain& w = open();
        w.state.telescope = fp.telescopes.create("Orvalis.Simulator");
        fp.telescopes.scope.connected = connected;
        return w;
    }
    QStringList& scope() { return fp.telescopes.scope.calls; }
};

TEST_F(Pulses, BacklashOnlyWhenTheAxisReverses) {
    fp.store.set("Guiding Options", "Dec Backlash", "100");
    frmMain& w = ascom();
    Probe::pulse(w, guideNorth, 500); // first pulse after start-up: none
    Probe::pulse(w, guideSouth, 500);
    Probe::pulse(w, guideSouth, 500);
    Probe::pulse(w, guideEast, 250); // the RA axis keeps its own letter
    EXPECT_EQ(scope(), QStringList({"PulseGuide 0 500", "PulseGuide 1 600", "PulseGuide 1 500",
                                    "PulseGuide 2 250"}));
    EXPECT_EQ(w.state.lastDecDir, "S");
    EXPECT_EQ(w.state.lastRADir, "E");
}

TEST_F(Pulses, AutostarCommandsCarryTheLengthWithFourDigits) {
    fp.store.set("Guiding Options", "Autostar PulseGuide", "1");
    fp.store.set("Guiding Options", "Dec Backlash", "100");
    fp.store.set("Guiding Options", "RA Backlash", "17");
    frmMain& w = ascom();
    Probe::pulse(w, guideSouth, 10);
    Probe::pulse(w, guideNorth, 500);
    Probe::pulse(w, guideWest, 83);
    Probe::pulse(w, guideEast, 1234);
    EXPECT_EQ(scope(), QStringList({"CommandBlind Mgs0010", "CommandBlind Mgn0600",
                                    "CommandBlind Mgw0083", "CommandBlind Mge1251"}));
}

TEST_F(Pulses, RelayPulseSetsHoldsAndClearsOneBitLeavingTheLxLines) {
    fp.store.set("Guiding Options", "GuideMode", "Parallel");
    fp.store.set("Camera Options", "VX Modified", "1");
    fp.store.set("Guiding Options", "Dec Backlash", "100");
    frmMain& w = open();
    Probe::pulse(w, guideSouth, 200);
    fp.parallelPort.calls.clear();
    fp.sleeper.sleeps.clear();
    Probe::pulse(w, guideNorth, 500);
    EXPECT_EQ(fp.parallelPort.calls, QStringList({"set 888 6", "clr 888 6"}));
    EXPECT_EQ(fp.sleeper.sleeps, std::vector<int>{600});
    EXPECT_EQ(fp.parallelPort.registers[888], 0b1); // Frame A still high
    EXPECT_EQ(buttonColour(w.cmdNorth), Colour::Red);
}

TEST_F(Pulses, RelayBoxWithoutAParallelPortWritesNowhere) {
    fp.store.set("Guiding Options", "GuideMode", "Parallel");
    fp.store.set("Camera Options", "Port", "-1");
    frmMain& w = open();
    Probe::pulse(w, guideEast, 300);
    EXPECT_TRUE(fp.parallelPort.calls.isEmpty());
    EXPECT_TRUE(fp.sleeper.sleeps.empty());
    EXPECT_TRUE(status().contains("parallel")) << status().toStdString();
    EXPECT_EQ(w.state.lastRADir, "E");
}

TEST_F(Pulses, NudgesFollowTheReverseSwitches) {
    frmMain& w = ascom();
    w.chkRevNS->setChecked(true);
    w.cmdNorth->click();
    w.cmdSouth->click();
    w.cmdEast->click();
    w.chkRevEW->setChecked(true);
    w.cmdEast->click();
    EXPECT_EQ(scope().filter("PulseGuide"), QStringList({"PulseGuide 1 500", "PulseGuide 0 500",
                                                         "PulseGuide 2 500", "PulseGuide 3 500"}));
}

TEST_F(Pulses, NudgesNeedAReachableMountAndASaneLength) {
    frmMain& w = ascom(false);
    w.cmdNorth->click();
    EXPECT_TRUE(scope().filter("PulseGuide").isEmpty());
    EXPECT_TRUE(w.state.lastDecDir.isEmpty()); // no flash, no letter
    EXPECT_TRUE(status().contains("connected telescope"));

    fp.telescopes.scope.connected = true;
    w.txtSlewPulseTime->setText("0");
    w.cmdNorth->click();
    EXPECT_TRUE(scope().filter("PulseGuide").isEmpty());
    EXPECT_TRUE(status().contains("milliseconds"));
    w.txtSlewPulseTime->setText("250.5");
    w.cmdWest->click();
    EXPECT_EQ(scope().filter("PulseGuide"), QStringList{"PulseGuide 3 250"});
}

TEST_F(Pulses, SerialOutputNeverPulses) {
    fp.store.set("Guiding Options", "GuideMode", "Serial");
    frmMain& w = open();
    w.state.telescope = fp.telescopes.create("Orvalis.Simulator");
    fp.telescopes.scope.connected = true;
    w.cmdEast->click();
    EXPECT_TRUE(w.state.lastRADir.isEmpty());
    Probe::pulse(w, guideEast, 100);
    EXPECT_EQ(w.state.lastRADir, "E");
    EXPECT_TRUE(fp.parallelPort.calls.filter("set").isEmpty());
    EXPECT_TRUE(scope().filter("Pulse").isEmpty());
}
