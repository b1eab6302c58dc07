#include "fakes/fake_platform.h"
#include "server/server_fixture.h"

#include <QAction>
#include <QJsonObject>

namespace {
QString errorMessage(const QJsonObject& response) {
    return response.value("error").toObject().value("message").toString();
}
} // namespace

// A camera and a mount that can come back after their server went away, as INDI ones can.
class ReturningEquipmentTest : public ServerTest {
protected:
    void prepare() override {
        rig.fp.store.set("Telescope Options", "DriverID",
                         "indi://localhost:7624/Telescope%20Simulator");
        FakeCaptureDrivers::Entry& entry = rig.fp.capture.entries[0];
        entry.reconnectable = true;
        entry.deviceName = QStringLiteral("CCD Simulator");
        rig.fp.telescopes.scope.reconnects = true;
    }
    Platform platform() override {
        Platform p = rig.platform();
        p.capture = &rig.fp.capture;
        p.telescopes = &rig.fp.telescopes;
        return p;
    }
    FakeCaptureDrivers::Entry& camera() { return rig.fp.capture.entries[0]; }
    FakeTelescope& mount() { return rig.fp.telescopes.scope; }
    bool getConnected(ProtocolClient& c) {
        return c.call("get_connected").value("result").toBool(true);
    }
    // Runs the window's timers for `ms`, or until `done`.
    static bool runUntil(const std::function<bool()>& done, int ms) {
        return ProtocolClient::waitFor(done, ms);
    }
};

// get_connected is false as soon as the camera's server is gone, with a lasting note; while it
// stays away set_connected says why, and once it is back set_connected connects the same
// driver again, never a new one.
TEST_F(ReturningEquipmentTest, SetConnectedBringsBackTheCameraThatWentAway) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    EXPECT_TRUE(getConnected(c));

    camera().lost = true;
    camera().failConnect = true;
    EXPECT_FALSE(getConnected(c));
    EXPECT_TRUE(window->hasCondition(QStringLiteral("camera")));
    const QJsonObject equipment = c.call("get_current_equipment").value("result").toObject();
    EXPECT_FALSE(equipment["camera"].toObject()["connected"].toBool(true));
    EXPECT_EQ(errorMessage(c.call("set_connected", "[true]")),
              "the camera did not connect: camera unplugged");

    camera().failConnect = false;
    EXPECT_EQ(c.call("set_connected", "[true]").value("result").toInt(-1), 0);
    EXPECT_TRUE(getConnected(c));
    EXPECT_FALSE(window->hasCondition(QStringLiteral("camera")));
    EXPECT_EQ(rig.fp.capture.calls.count(QStringLiteral("create 0")), 1);
    EXPECT_EQ(rig.fp.capture.calls.count(QStringLiteral("connect 0")), 3);
}

// A mount that went away loses its Connected mark at once, is tried again on the window's
// timer until it answers, and gets the mark back; set_connected false ends the attempts.
TEST_F(ReturningEquipmentTest, AMountThatWentAwayIsConnectedAgainByItselfUntilLetGo) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    ASSERT_TRUE(window->mnuTelescopeConnected->isChecked());

    mount().connected = false;
    mount().failConnect = true;
    EXPECT_FALSE(getConnected(c));
    EXPECT_FALSE(window->mnuTelescopeConnected->isChecked());
    const qsizetype before = mount().calls.count(QStringLiteral("Connected=1"));
    EXPECT_TRUE(runUntil(
        [&] { return mount().calls.count(QStringLiteral("Connected=1")) > before; }, 6000));
    EXPECT_TRUE(window->hasCondition(QStringLiteral("mount")));

    mount().failConnect = false;
    EXPECT_TRUE(runUntil([&] { return !window->hasCondition(QStringLiteral("mount")); }, 6000));
    EXPECT_TRUE(window->mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(getConnected(c));

    mount().connected = false;
    EXPECT_FALSE(getConnected(c));
    EXPECT_EQ(c.call("set_connected", "[false]").value("result").toInt(-1), 0);
    const qsizetype letGo = mount().calls.count(QStringLiteral("Connected=1"));
    runUntil([] { return false; }, 4000);
    EXPECT_EQ(mount().calls.count(QStringLiteral("Connected=1")), letGo);
    EXPECT_FALSE(window->hasCondition(QStringLiteral("mount")));
}

// A mount switched off in its own settings dialog stays off.
TEST_F(ReturningEquipmentTest, AMountSwitchedOffInItsDialogIsNotConnectedAgain) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    mount().keepsConnection = true;
    mount().disconnectInSetup = true;
    window->mnuTelescopeProperties->trigger();
    ASSERT_FALSE(window->mnuTelescopeConnected->isChecked());
    const qsizetype before = mount().calls.count(QStringLiteral("Connected=1"));
    runUntil([] { return false; }, 4000);
    EXPECT_EQ(mount().calls.count(QStringLiteral("Connected=1")), before);
    EXPECT_FALSE(window->hasCondition(QStringLiteral("mount")));
}
