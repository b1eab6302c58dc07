#include "engine/guide_engine.h"
#include "fakes/fake_core_platform.h"
#include "fakes/plain_sim_camera.h"
#include "platform/store/profile_store.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "printers.h"
#include "server/methods.h"
#include "server/server_link.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString kSimulator = QStringLiteral("Orvalis.Simulator");
}

// The engine on equipment sets kept in files: the simulator as camera and mount.
class ProfileEngineTest : public ::testing::Test {
protected:
    ProfileEngineTest()
        : store(dir.filePath("Orvalis.ini")), sky(SkyOptions{}, clock), camera(sky, store) {
        registerSimTelescope(telescopes, sky, store, SimTelescopeSetup{});
        store.writeSetting("Server Options", "Enabled", "0");
        store.writeSetting("Guide Log Options", "Enabled", "0");
        store.writeSetting("Dark Options", "Use Darks", "0");
        store.writeSetting("Guiding Options", "RA Guide Rate", "15");
    }
    GuideEngine& open() {
        Platform platform = fp.platform();
        platform.store = platform.profiles = &store;
        platform.capture = &camera;
        platform.telescopes = &telescopes;
        engine = std::make_unique<GuideEngine>(platform);
        engine->loadSettings(true);
        engine->startUp();
        return *engine;
    }
    QJsonValue call(ServerLink& link, const QString& method, const QString& params = {}) {
        rpc::Request request{method, QJsonDocument::fromJson(params.toUtf8()).array(), 1, true};
        if (params.isEmpty())
            request.params = QJsonValue::Undefined;
        const QJsonObject reply = QJsonDocument::fromJson(handleRequest(link, request)).object();
        return reply.contains("error") ? reply["error"].toObject()["code"] : reply["result"];
    }

    QTemporaryDir dir;
    ProfileStore store;
    FakeCorePlatform fp;
    std::shared_ptr<ManualSimClock> clock = std::make_shared<ManualSimClock>(0);
    SkySimulator sky;
    PlainSimCamera camera;
    TelescopeRegistry telescopes;
    std::unique_ptr<GuideEngine> engine;
};

// A second set starts as a copy of the first; each then keeps its own settings, mount and
// calibration switch, and the set in use is the one the next start opens.
TEST_F(ProfileEngineTest, EachSetKeepsItsOwnSettingsAcrossSwitches) {
    GuideEngine& e = open();
    e.chooseTelescope(kSimulator);
    ASSERT_EQ(e.connectEquipment(), QString());
    int switched = 0;
    QObject::connect(&e, &GuideEngine::profileSwitched, [&] { ++switched; });

    EXPECT_NE(e.addProfile("Refractor").indexOf("disconnect"), -1);
    EXPECT_EQ(e.profiles().size(), 1u); // nothing made while refused
    e.disconnectEquipment();
    ASSERT_EQ(e.addProfile("  Refractor "), QString());
    EXPECT_EQ(e.currentProfile().name, "Refractor");
    EXPECT_EQ(e.state.raGuideRate, 15.0f);
    EXPECT_EQ(e.telescopeId(), kSimulator);

    e.saveSetting("Guiding Options", "RA Guide Rate", "7.5");
    e.chooseTelescope({});
    e.setUseCalibration(true);
    e.disconnectEquipment(); // the switch brought the set's camera in, as a start does
    ASSERT_EQ(e.switchProfile(1), QString());
    EXPECT_EQ(e.state.raGuideRate, 15.0f);
    EXPECT_EQ(e.telescopeId(), kSimulator);
    EXPECT_FALSE(e.usingCalibration());
    EXPECT_TRUE(e.cameraConnected());

    e.disconnectEquipment();
    ASSERT_EQ(e.switchProfile(2), QString());
    EXPECT_EQ(e.state.raGuideRate, 7.5f);
    EXPECT_TRUE(e.telescopeId().isEmpty());
    EXPECT_TRUE(e.usingCalibration());
    EXPECT_EQ(switched, 3);
    EXPECT_EQ(ProfileStore(dir.filePath("Orvalis.ini")).current().id, 2);
}

TEST_F(ProfileEngineTest, ProtocolListsAndSwitchesSets) {
    GuideEngine& e = open();
    e.disconnectEquipment();
    ASSERT_EQ(e.addProfile("Small scope"), QString());
    e.disconnectEquipment();
    ASSERT_EQ(e.switchProfile(1), QString());
    ServerLink link(e);
    const QJsonArray sets = call(link, "get_profiles").toArray();
    ASSERT_EQ(sets.size(), 2);
    EXPECT_EQ(sets[0].toObject(),
              (QJsonObject{{"id", 1}, {"name", "Orvalis"}, {"selected", true}}));
    EXPECT_EQ(sets[1].toObject(), (QJsonObject{{"id", 2}, {"name", "Small scope"}}));

    ASSERT_TRUE(e.cameraConnected());
    EXPECT_EQ(call(link, "set_profile", "[2]").toInt(), 1); // the camera is connected
    EXPECT_EQ(call(link, "set_connected", "[false]").toInt(-1), 0);
    EXPECT_EQ(call(link, "set_profile", "[9]").toInt(), 1);
    EXPECT_EQ(call(link, "set_profile", "[\"2\"]").toInt(), -32602);
    EXPECT_EQ(call(link, "set_profile", "[2]").toInt(-1), 0);
    EXPECT_EQ(call(link, "get_profile").toObject()["name"].toString(), "Small scope");
}
