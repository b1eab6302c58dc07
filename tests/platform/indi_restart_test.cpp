// The window guiding INDI's telescope and CCD simulators under a real indiserver (package
// indi-bin) while the server is killed and started again, or stopped and continued.

#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/main_window_probe.h"
#include "engine/Globals.h"
#include "fakes/fake_platform.h"
#include "indi_rig.h"
#include "indi_sky.h"
#include "indi_test_server.h"
#include "platform/capture/desktop_capture_drivers.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/indi_server_health.h"
#include "platform/telescope/telescope_registry.h"
#include "printers.h"
#include "server/protocol_client.h"
#include "server/server_link.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>

namespace {
using namespace indi_rig;

// Runs the window's own timers (exposure loop, reconnection) until `done` or `ms` pass. A
// hold: one turn of the event loop that lasted holdMs or more, which only a time-out takes.
struct EventLoop {
    int holds = 0;
    int holdMs = 4000;

    bool runUntil(const std::function<bool()>& done, int ms) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > ms)
                return false;
            const qint64 turn =
                millisecondsOf([] { QCoreApplication::processEvents(QEventLoop::AllEvents, 50); });
            if (turn >= holdMs)
                ++holds;
        }
        return true;
    }
    void run(int ms) {
        runUntil([] { return false; }, ms);
    }
};

// A request of an imaging program, its answer awaited in `loop`.
QJsonObject call(EventLoop& loop, ProtocolClient& client, const char* method,
                 const QByteArray& params = {}) {
    const int id = client.request(method, params);
    QJsonObject answer;
    loop.runUntil(
        [&] {
            for (const QJsonObject& o : client.lines)
                if (!o.contains("Event") && o.value("id").toInt(-1) == id)
                    answer = o;
            return !answer.isEmpty();
        },
        30000);
    return answer;
}

bool getConnected(EventLoop& loop, ProtocolClient& client) {
    return call(loop, client, "get_connected").value("result").toBool(true);
}

QString conditionsOf(const frmMain& w) {
    const auto* conditions = w.findChild<QLabel*>(QStringLiteral("lblConditions"));
    return conditions ? conditions->toolTip() : QString();
}

// Guide cycles from `from` on that found the star and sent a pulse.
int cyclesWithPulses(const GuideHistory& history, size_t from) {
    int n = 0;
    for (size_t i = from; i < history.size(); ++i)
        if (history.at(i).found && (history.at(i).raPulse || history.at(i).decPulse))
            ++n;
    return n;
}
} // namespace

// Calibrated and guiding; the server is killed (SIGKILL): notes say camera and mount are gone
// and imaging programs hear they are not connected. Started again on the same port, both come
// back by themselves, and guiding goes on with the same lock and calibration.
TEST(IndiRestart, GuidingResumesByItselfAfterTheServerIsKilledAndStartedAgain) {
    SimulatorServer simulators;
    IndiTestServer& server = simulators.server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    pointTheMount(server.port(), 0.2);
    IndiRig rig(server.port());
    Globals::starX = Globals::starY = 0;
    frmMain w(rig.platform);
    ASSERT_NO_FATAL_FAILURE(connectAndLoop(w));
    ASSERT_NO_FATAL_FAILURE(lockOnTheBrightestStar(w));
    w.mnuCalibrate->trigger();
    for (int i = 0; i < 150 && w.calibrating(); ++i)
        MainWindowProbe::tickUntilCycle(w);
    ASSERT_TRUE(w.calibration()) << rig.fp.messages.texts.join("; ").toStdString();
    w.mnuUseCalibration->trigger();
    w.cmdGuide->click();
    ASSERT_TRUE(w.state.guiding);
    for (int i = 0; i < 3; ++i)
        MainWindowProbe::tickUntilCycle(w);
    const float targetX = w.state.targetX, targetY = w.state.targetY;
    ProtocolClient client(w.server()->events().port());
    EventLoop loop;
    EXPECT_TRUE(getConnected(loop, client));

    server.kill();
    EXPECT_TRUE(loop.runUntil(
        [&] {
            return w.hasCondition(QStringLiteral("camera")) &&
                   w.hasCondition(QStringLiteral("mount"));
        },
        10000));
    EXPECT_FALSE(getConnected(loop, client));
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    const QJsonObject refused = call(loop, client, "set_connected", "[true]");
    EXPECT_TRUE(refused.contains("error")) << QJsonDocument(refused).toJson().toStdString();
    loop.run(4000); // black frames, attempts that fail

    ASSERT_TRUE(server.restart()) << server.problem().toStdString();
    EXPECT_TRUE(loop.runUntil(
        [&] {
            return !w.hasCondition(QStringLiteral("camera")) &&
                   !w.hasCondition(QStringLiteral("mount"));
        },
        30000))
        << conditionsOf(w).toStdString();
    EXPECT_TRUE(getConnected(loop, client));
    EXPECT_TRUE(w.mnuTelescopeConnected->isChecked());
    pointTheMount(server.port(), 0.2);

    const size_t from = w.guideHistory().size();
    loop.runUntil([&] { return cyclesWithPulses(w.guideHistory(), from) >= 3; }, 60000);
    int found = 0;
    for (size_t i = from; i < w.guideHistory().size(); ++i)
        found += w.guideHistory().at(i).found ? 1 : 0;
    std::printf("after the restart: %zu guide cycles, %d found the star, %d of them pulsed\n",
                w.guideHistory().size() - from, found, cyclesWithPulses(w.guideHistory(), from));
    EXPECT_GE(cyclesWithPulses(w.guideHistory(), from), 3);
    EXPECT_TRUE(w.state.previewing);
    EXPECT_TRUE(w.state.guiding);
    EXPECT_TRUE(w.state.locked);
    EXPECT_FALSE(w.state.lockLost);
    EXPECT_EQ(w.state.targetX, targetX);
    EXPECT_EQ(w.state.targetY, targetY);
    EXPECT_TRUE(w.calibrationInUse());
    EXPECT_EQ(loop.holds, 0);
}

// Looping and guiding; the server is stopped (SIGSTOP): the first wait on it holds the window
// once, every call and reconnection attempt after it fails at once. Continued, the equipment
// comes back at an imaging program's request, and the loop goes on.
TEST(IndiRestart, AStoppedServerHoldsTheWindowOnceAndComesBackOnRequest) {
    SimulatorServer simulators;
    IndiTestServer& server = simulators.server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    pointTheMount(server.port(), 0);
    IndiRig rig(server.port());
    Globals::starX = Globals::starY = 0;
    frmMain w(rig.platform);
    ASSERT_NO_FATAL_FAILURE(connectAndLoop(w));
    ASSERT_NO_FATAL_FAILURE(lockOnTheBrightestStar(w));
    w.cmdGuide->click();
    ASSERT_TRUE(w.state.guiding);
    ProtocolClient client(w.server()->events().port());
    EventLoop loop;
    EXPECT_TRUE(getConnected(loop, client));

    server.freeze();
    EXPECT_TRUE(loop.runUntil(
        [&] {
            return w.hasCondition(QStringLiteral("camera")) &&
                   w.hasCondition(QStringLiteral("mount"));
        },
        40000));
    EXPECT_FALSE(getConnected(loop, client));
    loop.run(15000); // exposures, reconnection attempts and requests, each failing at once
    const QJsonObject refused = call(loop, client, "set_connected", "[true]");
    EXPECT_TRUE(refused.contains("error")) << QJsonDocument(refused).toJson().toStdString();
    std::printf("stopped INDI server: the window was held %d time(s)\n", loop.holds);
    EXPECT_EQ(loop.holds, 1);

    server.thaw();
    loop.run(int(IndiServerHealth::kProbeGapMs));
    EXPECT_EQ(call(loop, client, "set_connected", "[true]").value("result").toInt(-1), 0);
    EXPECT_TRUE(getConnected(loop, client));
    EXPECT_FALSE(w.hasCondition(QStringLiteral("camera")));
    EXPECT_FALSE(w.hasCondition(QStringLiteral("mount")));
    const size_t from = w.guideHistory().size();
    EXPECT_TRUE(loop.runUntil(
        [&] { return w.guideHistory().size() > from + 2 && w.guideHistory().last().found; },
        30000));
    EXPECT_TRUE(w.state.guiding);
    EXPECT_EQ(loop.holds, 1);
}
