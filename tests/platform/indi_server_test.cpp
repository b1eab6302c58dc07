// Against a real indiserver running the telescope simulator (package indi-bin).

#include "indi_test_server.h"
#include "platform/capture/indi_camera.h"
#include "platform/telescope/indi_mount_list.h"
#include "platform/telescope/indi_server_health.h"
#include "platform/telescope/indi_telescope.h"
#include "printers.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QThread>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <thread>

namespace {
const IndiTimeouts quick = quickTimeouts;

IndiAddress simulator(int port) {
    return simulatorAt(port);
}

// A second client on the server that watches what the driver under test does to the device.
class Observer {
public:
    explicit Observer(int port) {
        EXPECT_TRUE(client.connectServer(QStringLiteral("localhost"), port, simulatorName, 2000));
    }

    // The latest copy of a property once `condition` holds for it (an empty copy if never).
    IndiVector await(const QString& name, const std::function<bool(const IndiVector&)>& condition,
                     int withinMs = 3000) {
        IndiVector seen;
        client.waitUntil(
            [&](const IndiSnapshot& s) {
                const IndiVector* p = s.property(simulatorName, name);
                if (p && condition(*p))
                    seen = *p;
                return p && condition(*p);
            },
            withinMs);
        return seen;
    }

    IndiVector now(const QString& name) {
        return await(name, [](const IndiVector&) { return true; });
    }

    // As polled from the mount: the definition may still carry placeholders.
    double declination() {
        const IndiVector coordinates =
            await(QStringLiteral("EQUATORIAL_EOD_COORD"),
                  [](const IndiVector& p) { return p.revision > p.defined; });
        const IndiElement* dec = coordinates.element(QStringLiteral("DEC"));
        return dec ? dec->value : NAN;
    }

    // The declination reported after the current pulse has ended.
    double declinationAfterPulse() {
        await(QStringLiteral("TELESCOPE_TIMED_GUIDE_NS"),
              [](const IndiVector& p) { return p.state != IndiState::Busy; });
        const quint64 ended = now(QStringLiteral("EQUATORIAL_EOD_COORD")).revision;
        await(QStringLiteral("EQUATORIAL_EOD_COORD"),
              [&](const IndiVector& p) { return p.revision > ended; });
        return declination();
    }

    IndiClient client;
};

double value(const IndiVector& vector, const char* element) {
    const IndiElement* e = vector.element(QString::fromLatin1(element));
    return e ? e->value : NAN;
}
} // namespace

TEST(IndiServer, ConnectsPulsesAndDisconnects) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    IndiTelescope mount(simulator(server.port()), quick);
    EXPECT_FALSE(mount.Connected());
    EXPECT_FALSE(mount.CanPulseGuide());
    EXPECT_THROW(mount.PulseGuide(guideNorth, 100), TelescopeError);

    mount.setConnected(true);
    ASSERT_TRUE(mount.Connected());
    EXPECT_TRUE(mount.CanPulseGuide());
    Observer scope(server.port());
    // Without park data (a fresh home) the simulator starts unparked, at the pole, not tracking.
    ASSERT_TRUE(scope.now(QStringLiteral("TELESCOPE_PARK")).isOn(QStringLiteral("UNPARK")));
    const double before = scope.declination();

    // The call returns once the server has taken the pulse on, long before it ends.
    EXPECT_LT(millisecondsOf([&] { mount.PulseGuide(guideNorth, 500); }), 250);
    // ... and tells while the pulse runs, per axis.
    EXPECT_EQ(mount.pulseRunning(guideSouth), true);
    EXPECT_EQ(mount.pulseRunning(guideEast), false);
    const IndiVector pulse =
        scope.await(QStringLiteral("TELESCOPE_TIMED_GUIDE_NS"),
                    [](const IndiVector& p) { return p.state == IndiState::Busy; });
    EXPECT_EQ(value(pulse, "TIMED_GUIDE_N"), 500);
    EXPECT_EQ(value(pulse, "TIMED_GUIDE_S"), 0);
    // 500 ms at the simulator's guide rate, half the sidereal 15.04"/s.
    EXPECT_NEAR(std::fabs(scope.declinationAfterPulse() - before), 0.5 * 0.5 * 15.04 / 3600, 3e-4);
    // The mount's own connection may hear of the end a moment after the observer's.
    std::optional<bool> running = true;
    for (int i = 0; i < 100 && running == true; ++i) {
        QCoreApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        running = mount.pulseRunning(guideNorth);
    }
    EXPECT_EQ(running, false);

    mount.PulseGuide(guideWest, 200);
    const IndiVector west =
        scope.await(QStringLiteral("TELESCOPE_TIMED_GUIDE_WE"),
                    [](const IndiVector& p) { return p.state == IndiState::Busy; });
    EXPECT_EQ(value(west, "TIMED_GUIDE_W"), 200);
    EXPECT_EQ(value(west, "TIMED_GUIDE_E"), 0);

    mount.setConnected(false);
    EXPECT_FALSE(mount.Connected());
    EXPECT_TRUE(scope
                    .await(QStringLiteral("CONNECTION"),
                           [](const IndiVector& p) { return p.isOn(QStringLiteral("DISCONNECT")); })
                    .isOn(QStringLiteral("DISCONNECT")));
    EXPECT_NO_THROW(mount.setConnected(false));
    EXPECT_THROW(mount.PulseGuide(guideNorth, 100), TelescopeError);
}

TEST(IndiServer, RefusesBadPulsesAndHandBoxCommands) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    IndiTelescope mount(simulator(server.port()), quick);
    mount.setConnected(true);
    Observer scope(server.port());
    const quint64 untouched = scope.now(QStringLiteral("TELESCOPE_TIMED_GUIDE_NS")).revision;

    EXPECT_THROW(mount.PulseGuide(4, 100), TelescopeError);
    EXPECT_THROW(mount.PulseGuide(-1, 100), TelescopeError);
    mount.PulseGuide(guideSouth, 0);
    mount.PulseGuide(guideNorth, -20);
    // Above the simulator's longest pulse: the server answers with an Alert and its reason.
    try {
        mount.PulseGuide(guideNorth, 999999);
        ADD_FAILURE() << "an out-of-range pulse was taken";
    } catch (const TelescopeError& e) {
        // With the driver's reason, without the time stamp it arrived with.
        EXPECT_TRUE(QString::fromUtf8(e.what()).contains(QRegularExpression(
            QStringLiteral("^\"Telescope Simulator\" refused the guide pulse: [A-Za-z]"))))
            << e.what();
    }
    const IndiVector pulses =
        scope.await(QStringLiteral("TELESCOPE_TIMED_GUIDE_NS"),
                    [](const IndiVector& p) { return p.state == IndiState::Alert; });
    EXPECT_EQ(value(pulses, "TIMED_GUIDE_N"), 0) << "only the refused pulse reached the server";
    EXPECT_GT(pulses.revision, untouched);

    EXPECT_THROW(mount.CommandBlind(QStringLiteral(":Mgn0500#")), TelescopeError);
    EXPECT_TRUE(mount.Connected());
}

// No server, a server that takes the connection but never answers (hung, or running no
// driver), and a server without the device: each is told apart, by the mount and the camera.
TEST(IndiServer, FailsClearlyWithoutServerOrDevice) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    QTcpServer silent; // never served: the system takes connections, nothing is ever sent
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    const struct {
        int port;
        const char* device;
        const char* mountSays;
        const char* cameraSays;
    } cases[] = {
        {freeLoopbackPort(), "Telescope Simulator", "Cannot reach the INDI server at",
         "Cannot reach the INDI server at"},
        {silent.serverPort(), "Telescope Simulator", "took the connection but did not answer",
         "took the connection but did not answer"},
        {server.port(), "Dome Ghost", "has no device \"Dome Ghost\"",
         "has no camera \"Dome Ghost\""},
    };
    for (const auto& c : cases) {
        const IndiAddress address{QStringLiteral("127.0.0.1"), c.port, c.device};
        IndiTelescope mount(address, quick);
        QString message;
        const qint64 ms = millisecondsOf([&] {
            try {
                mount.setConnected(true);
            } catch (const TelescopeError& e) {
                message = QString::fromUtf8(e.what());
            }
        });
        std::printf("INDI mount on port %d: failed after %lld ms\n", c.port,
                    static_cast<long long>(ms));
        EXPECT_TRUE(message.contains(c.mountSays)) << message.toStdString();
        EXPECT_FALSE(mount.Connected());

        IndiCamera camera(address, {quick.connectMs, quick.callMs});
        EXPECT_FALSE(camera.connect());
        EXPECT_TRUE(camera.error().contains(c.cameraSays)) << camera.error().toStdString();
    }
}

TEST(IndiServer, LostServerFailsTheNextCallAtOnce) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    IndiTelescope mount(simulator(server.port()), quick);
    mount.setConnected(true);
    mount.PulseGuide(guideEast, 300);
    server.kill();

    QString message;
    const qint64 ms = millisecondsOf([&] {
        try {
            mount.PulseGuide(guideEast, 300);
        } catch (const TelescopeError& e) {
            message = QString::fromUtf8(e.what());
        }
    });
    EXPECT_TRUE(message.startsWith("Lost the connection to the INDI server"))
        << message.toStdString();
    EXPECT_LT(ms, 500);
    EXPECT_FALSE(mount.Connected());
    EXPECT_FALSE(mount.CanPulseGuide());
    EXPECT_NO_THROW(mount.setConnected(false));
}

TEST(IndiServer, KeepsAnotherClientsConnectionAndAHungServerCostsOneTimeOut) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    Observer other(server.port());
    IndiVector connect;
    connect.device = simulatorName;
    connect.name = QStringLiteral("CONNECTION");
    connect.kind = IndiKind::Switch;
    connect.elements = {IndiElement{}, IndiElement{}};
    connect.elements[0].name = QStringLiteral("CONNECT");
    connect.elements[0].on = true;
    connect.elements[1].name = QStringLiteral("DISCONNECT");
    other.now(connect.name); // a switch is taken only once the server has defined it
    ASSERT_TRUE(other.client.send(connect));
    ASSERT_TRUE(other
                    .await(connect.name,
                           [](const IndiVector& p) {
                               return p.state == IndiState::Ok && p.isOn(QStringLiteral("CONNECT"));
                           })
                    .isOn(QStringLiteral("CONNECT")));

    IndiTelescope mount(simulator(server.port()), quick);
    mount.setConnected(false); // as at start-up
    mount.setConnected(true);
    mount.setConnected(false);
    EXPECT_FALSE(other
                     .await(
                         connect.name,
                         [](const IndiVector& p) { return p.isOn(QStringLiteral("DISCONNECT")); },
                         1000)
                     .isOn(QStringLiteral("DISCONNECT")))
        << "the other client's device was switched off";

    mount.setConnected(true);
    mount.PulseGuide(guideNorth, 100);
    server.freeze();
    bool lost = false;
    const qint64 firstMs = millisecondsOf([&] {
        try {
            mount.PulseGuide(guideNorth, 100);
        } catch (const TelescopeLinkLost&) {
            lost = true;
        }
    });
    std::printf("hung INDI server: pulse call blocked %lld ms (limit %d ms)\n",
                static_cast<long long>(firstMs), 100 + quick.pulseExtraMs);
    EXPECT_TRUE(lost);
    EXPECT_GE(firstMs, 100 + quick.pulseExtraMs - 50);
    EXPECT_LT(firstMs, 100 + quick.pulseExtraMs + 1000);
    EXPECT_FALSE(mount.Connected());
    EXPECT_LT(
        millisecondsOf([&] { EXPECT_THROW(mount.PulseGuide(guideNorth, 100), TelescopeLinkLost); }),
        500);

    // Connecting again while the server still hangs fails without a wait of its own (which
    // would count as another time-out), however often it is tried.
    for (int i = 0; i < 3; ++i)
        EXPECT_THROW(mount.setConnected(true), TelescopeLinkLost);
    EXPECT_EQ(indiServerHealth().timeOuts(simulator(server.port())), 1);

    server.thaw();
    QThread::msleep(IndiServerHealth::kProbeGapMs); // the last unanswered probe's gap
    mount.setConnected(true);
    EXPECT_TRUE(mount.Connected());
}

TEST(IndiServer, ListsTheSimulatorAsAMount) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    QString error = QStringLiteral("untouched");
    EXPECT_EQ(listIndiMountDevices(QStringLiteral("localhost"), server.port(), 3000, &error),
              std::vector<QString>{simulatorName});
    EXPECT_EQ(error, QString());

    server.kill();
    EXPECT_TRUE(
        listIndiMountDevices(QStringLiteral("localhost"), server.port(), 1000, &error).empty());
    EXPECT_TRUE(error.startsWith("Cannot reach the INDI server")) << error.toStdString();
}
