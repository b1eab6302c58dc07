#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "app/star_frame.h"
#include "app/window_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <chrono>
#include <thread>

// Locked on a star at (200, 100), guiding through a connected telescope.
class GuideCycle : public WindowTest {
protected:
    frmMain& guiding() {
        fp.capture.entries[0].frame = frameWithStar(200, 100);
        fp.store.set("Guidescope Options", "FocalLength", "1444"); // 0.8 arcsec per pixel
        frmMain& w = open();
        w.state.telescope = fp.telescopes.create("Orvalis.Simulator");
        fp.telescopes.scope.connected = true;
        MainWindowProbe::lockAndGuide(w, 200, 100);
        fp.telescopes.scope.calls.clear();
        return w;
    }
    void starMovesTo(int x, int y) { fp.capture.entries[0].frame = frameWithStar(x, y); }
    void cycle() { MainWindowProbe::tickUntilCycle(*window); }
};

TEST_F(GuideCycle, FoundStarShowsErrorsAndCorrectsRaOnly) {
    frmMain& w = guiding();
    ASSERT_TRUE(w.state.guiding);
    starMovesTo(205, 103); // 5 px right, 3 px down of the target
    cycle();
    EXPECT_EQ(w.state.errX, -5);
    EXPECT_EQ(w.state.errY, -3);
    EXPECT_EQ(buttonColour(w.cmdLock), Colour::Green);
    EXPECT_EQ(w.lblDx->text(), QString::number(-5 * w.state.arcsecPerPixelX, 'f', 6));
    // West 133 ms for a 4 arcsec error at 30 arcsec/s; no Dec correction by default.
    ASSERT_EQ(fp.telescopes.scope.calls.size(), 1);
    EXPECT_TRUE(fp.telescopes.scope.calls[0].startsWith("PulseGuide 3 133"));
    EXPECT_TRUE(w.HalfSecTimer->isActive());
}

TEST_F(GuideCycle, LostStarSoundsAndRecoversWhenItReturns) {
    frmMain& w = guiding();
    starMovesTo(500, 400);
    cycle();
    EXPECT_TRUE(w.state.lockLost);
    EXPECT_EQ(buttonColour(w.cmdLock), Colour::Yellow);
    EXPECT_EQ(w.lblDx->text(), "");
    EXPECT_EQ(fp.sound.played, QStringList{"LockLost.wav"});
    EXPECT_TRUE(fp.telescopes.scope.calls.isEmpty());
    cycle();
    EXPECT_EQ(fp.sound.played.size(), 2);

    starMovesTo(201, 100);
    cycle();
    EXPECT_FALSE(w.state.lockLost);
    EXPECT_TRUE(w.state.guiding);
    EXPECT_EQ(buttonColour(w.cmdLock), Colour::Green);
}

// A mount's pulse runs on after the call returns: the next exposure starts when it has ended,
// and the window answers clicks meanwhile.
TEST_F(GuideCycle, NextExposureWaitsForTheMountsPulses) {
    frmMain& w = guiding();
    FakeTelescope& scope = fp.telescopes.scope;
    scope.running = true;
    starMovesTo(205, 103);
    fp.capture.calls.clear();
    cycle();
    ASSERT_EQ(scope.calls.size(), 1);
    EXPECT_FALSE(fp.capture.calls.join(' ').contains("expose"));
    EXPECT_FALSE(w.HalfSecTimer->isActive());
    EXPECT_TRUE(MainWindowProbe::waitingForPulses(w));

    w.cmdEast->click(); // a nudge meanwhile goes out, and is waited for too
    EXPECT_EQ(scope.calls.filter("PulseGuide").size(), 2);
    MainWindowProbe::pollPulses(w);
    EXPECT_TRUE(MainWindowProbe::waitingForPulses(w));
    EXPECT_FALSE(w.guideHistory().last().timed);

    scope.running = false;
    MainWindowProbe::pollPulses(w);
    EXPECT_FALSE(MainWindowProbe::waitingForPulses(w));
    EXPECT_EQ(fp.capture.calls.filter("expose").size(), 1);
    EXPECT_TRUE(w.HalfSecTimer->isActive());
    const GuideRecord& r = w.guideHistory().last();
    EXPECT_TRUE(r.timed);
    EXPECT_GE(r.nextExposureAfterMs, 0);
    EXPECT_TRUE(r.raPulseRanMs.has_value());
    EXPECT_FALSE(r.decPulseRanMs.has_value()); // no Dec pulse in this cycle
}

// Stop while the loop waits: no exposure follows when the pulse ends.
TEST_F(GuideCycle, StopDuringThePulseWaitEndsTheLoop) {
    frmMain& w = guiding();
    fp.telescopes.scope.running = true;
    starMovesTo(205, 100);
    cycle();
    ASSERT_TRUE(MainWindowProbe::waitingForPulses(w));
    fp.capture.calls.clear();
    w.cmdPreview->click();
    EXPECT_FALSE(w.state.previewing);
    EXPECT_FALSE(MainWindowProbe::waitingForPulses(w));
    fp.telescopes.scope.running = false;
    MainWindowProbe::pollPulses(w);
    EXPECT_FALSE(fp.capture.calls.join(' ').contains("expose"));
    EXPECT_FALSE(w.HalfSecTimer->isActive());
}

// A mount that cannot tell: its pulse counts as running for its length.
TEST_F(GuideCycle, APulseOfAMountThatCannotTellRunsForItsLength) {
    frmMain& w = guiding();
    fp.telescopes.scope.running = std::nullopt;
    starMovesTo(205, 100); // 4 arcsec: a 133 ms West pulse
    cycle();
    EXPECT_TRUE(MainWindowProbe::waitingForPulses(w));
    for (int i = 0; i < 400 && MainWindowProbe::waitingForPulses(w); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        QCoreApplication::processEvents();
    }
    EXPECT_FALSE(MainWindowProbe::waitingForPulses(w));
    EXPECT_GE(w.guideHistory().last().raPulseRanMs.value_or(0), 133);
}

TEST_F(GuideCycle, DriverErrorInAPulseKeepsTheLoopGoing) {
    frmMain& w = guiding();
    fp.telescopes.scope.failPulse = true;
    starMovesTo(210, 100);
    cycle();
    EXPECT_FALSE(w.guideHistory().last().raPulse); // a refused pulse is no correction
    EXPECT_TRUE(w.HalfSecTimer->isActive());
    EXPECT_TRUE(w.state.guiding);
    EXPECT_EQ(buttonColour(w.cmdWest), Colour::Red);
    EXPECT_EQ(w.state.lastRADir, "W");
    EXPECT_TRUE(status().contains("does not answer")) << status().toStdString();
}

// Calibrate takes over from guiding; a pulse the mount refuses ends it, nothing stored.
TEST_F(GuideCycle, DriverErrorInAPulseEndsACalibration) {
    frmMain& w = guiding();
    w.mnuCalibrate->trigger();
    EXPECT_FALSE(w.state.guiding);
    ASSERT_TRUE(w.calibrating());
    fp.telescopes.scope.calls.clear();
    cycle();
    ASSERT_EQ(fp.telescopes.scope.calls.size(), 1);
    EXPECT_TRUE(fp.telescopes.scope.calls[0].startsWith("PulseGuide 3 ")); // West
    fp.telescopes.scope.failPulse = true;
    cycle();
    EXPECT_FALSE(w.calibrating());
    EXPECT_FALSE(w.calibration());
    EXPECT_TRUE(fp.messages.texts.isEmpty());
    EXPECT_TRUE(w.HalfSecTimer->isActive());
}

TEST_F(GuideCycle, ReferenceMarkIsDrawnButNeverMeasured) {
    frmMain& w = guiding();
    emit w.picFrame->mouseUp(2, 300, 200);
    cycle();
    EXPECT_EQ(w.picFrame->Point(306, 50), 12 | 12 << 8 | 12 << 16);
}

TEST_F(GuideCycle, GuideButtonRefusesAnUnconnectedTelescope) {
    frmMain& w = open();
    w.cmdGuide->click();
    EXPECT_FALSE(w.state.guiding);
    EXPECT_TRUE(status().contains("Choose a telescope"));
    w.state.telescope = fp.telescopes.create("Orvalis.Simulator");
    w.cmdGuide->click();
    EXPECT_FALSE(w.state.guiding);
    EXPECT_EQ(fp.messages.texts,
              QStringList{"Guiding cannot be activitated until scope is connected."});
    EXPECT_EQ(fp.messages.icons.back(), MessageIcon::Critical);
}

using ErrorLogging = GuideCycle;

TEST_F(ErrorLogging, LogsFoundStarsWithOrWithoutGuiding) {
    QTemporaryDir dir;
    const QString path = dir.filePath("guide.log");
    fp.store.set("Logging Options", "Log Filename", path);
    frmMain& w = guiding();
    w.cmdGuide->click(); // guiding off: lines are still written
    w.chkLogErrors->click();
    ASSERT_TRUE(w.state.logging);
    starMovesTo(205, 100);
    cycle();
    starMovesTo(500, 400); // lost: no line
    cycle();
    w.chkLogErrors->click();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = file.readAll().split('\n');
    ASSERT_EQ(lines.size(), 2); // one line and the empty rest after its CR LF
    const QString ra = QString::number(-5 * w.state.arcsecPerPixelX, 'f', 3);
    EXPECT_TRUE(lines[0].endsWith((", " + ra + ", 0.000\r").toUtf8())) << lines[0].constData();
}

TEST_F(ErrorLogging, UnopenableLogIsReportedAndTheBoxCleared) {
    fp.store.set("Logging Options", "Log Filename", "/nonexistent-folder/guide.log");
    frmMain& w = guiding();
    w.chkLogErrors->click();
    EXPECT_FALSE(w.state.logging);
    EXPECT_FALSE(w.chkLogErrors->isChecked());
    ASSERT_EQ(fp.messages.texts.size(), 1);
    EXPECT_TRUE(fp.messages.texts[0].startsWith("There was a problem opening the log file.  "));
}

TEST_F(ErrorLogging, DiskFullStopsLoggingButNotGuiding) {
    fp.store.set("Logging Options", "Log Filename", "/dev/full");
    fp.store.set("Logging Options", "Append Log", "1");
    frmMain& w = guiding();
    w.chkLogErrors->click();
    ASSERT_TRUE(w.state.logging);
    starMovesTo(210, 100);
    cycle();
    EXPECT_FALSE(w.state.logging);
    EXPECT_FALSE(w.chkLogErrors->isChecked());
    EXPECT_TRUE(status().startsWith("Logging stopped")) << status().toStdString();
    EXPECT_TRUE(window->hasCondition("log"));
    EXPECT_TRUE(w.state.guiding);
    EXPECT_EQ(fp.telescopes.scope.calls.size(), 1);
}
