#include "platform/store/settings_store.h"
#include "server/server_fixture.h"

#include <QJsonArray>

namespace {
QJsonObject error(const QJsonObject& response) {
    return response.value("error").toObject();
}
} // namespace

// The guiding assistant's own methods: refused without a locked star and with bad params,
// started on a locked star, polled until done (with the backlash), applied, and a new run
// stopped at once leaves nothing to apply.
TEST_F(ServerTest, GuidingAssistantMethods) {
    window->engine().setAssistantClock([this] { return clock->nowSeconds(); });
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(connectAndLoop(c));
    auto result = [&](const char* method, const QByteArray& params = {}) {
        return c.call(method, params).value("result");
    };
    auto status = [&] { return result("orvalis_get_guiding_assistant").toObject(); };
    auto code = [&](const char* method, const QByteArray& params = {}) {
        return error(c.call(method, params)).value("code").toInt();
    };
    EXPECT_EQ(error(c.call("orvalis_start_guiding_assistant")).value("message").toString(),
              "no star locked: loop and select a star first");
    EXPECT_EQ(status()["state"].toString(), "idle");
    EXPECT_TRUE(status()["results"].isNull());
    EXPECT_EQ(code("orvalis_apply_guiding_assistant"), 1);
    EXPECT_EQ(code("orvalis_start_guiding_assistant", "{\"seconds\":5}"), -32602);
    EXPECT_EQ(code("orvalis_start_guiding_assistant", "{\"backlash\":\"yes\"}"), -32602);

    ASSERT_TRUE(result("find_star").isArray());
    EXPECT_EQ(
        result("orvalis_start_guiding_assistant", "{\"seconds\":20,\"backlash\":true}").toInt(-1),
        0);
    EXPECT_EQ(error(c.call("orvalis_start_guiding_assistant")).value("message").toString(),
              "the guiding assistant is already running");
    QJsonObject s = status();
    EXPECT_EQ(s["state"].toString(), "running");
    EXPECT_EQ(s["phase"].toString(), "recording");
    EXPECT_EQ(s["duration"].toDouble(), 20);
    EXPECT_TRUE(s["advice"].isNull());
    for (int n = 0; n < 80 && s["state"].toString() == "running"; ++n) {
        cycle();
        s = status();
    }
    ASSERT_EQ(s["state"].toString(), "done");
    EXPECT_GE(s["elapsed"].toDouble(), 20);
    const QJsonObject r = s["results"].toObject();
    EXPECT_EQ(r["axes"].toString(), "frame");
    EXPECT_GE(r["frames"].toInt(), 20);
    EXPECT_GT(r["ra"].toObject()["seeing_rms"].toDouble(), 0);
    EXPECT_TRUE(r["dec"].toObject()["drift_per_min"].isDouble());
    EXPECT_FALSE(r["periodic_error"].toObject()["measured"].toBool(true));
    EXPECT_TRUE(r["periodic_error"].toObject()["note"].toString().startsWith("Run longer"));
    EXPECT_GT(r["polar_alignment"].toObject()["error_arcmin"].toDouble(), 0);
    ASSERT_TRUE(r["dec_backlash"].isObject()) << r["dec_backlash_note"].toString().toStdString();
    EXPECT_GE(r["dec_backlash"].toObject()["ms"].toDouble(-1), 0);
    const QJsonObject advice = s["advice"].toObject();
    EXPECT_EQ(advice["law"].toString(), "Hysteresis") << "20 s is too little for a prediction";
    EXPECT_GE(advice["exposure"].toInt(), 1000);
    EXPECT_GE(advice["ra_min_move"].toDouble(), 0.1);

    EXPECT_EQ(result("orvalis_apply_guiding_assistant").toInt(-1), 0);
    SettingsStore& store = *window->engine().platform().store;
    EXPECT_EQ(store.readSetting("Guide Law Options", "RA Law", "?"), "Hysteresis");
    EXPECT_EQ(store.readSetting("Guide Law Options", "Dec Law", "?"), "Hysteresis");
    EXPECT_NE(store.readSetting("Guide Law Options", "Dec Hysteresis Minimum Move", "?"), "?");
    EXPECT_EQ(result("get_exposure").toInt(), advice["exposure"].toInt());

    EXPECT_EQ(result("orvalis_start_guiding_assistant", "[30]").toInt(-1), 0);
    EXPECT_TRUE(status()["results"].isNull());
    EXPECT_EQ(result("orvalis_stop_guiding_assistant").toInt(-1), 0);
    EXPECT_EQ(status()["state"].toString(), "idle");
    EXPECT_EQ(code("orvalis_apply_guiding_assistant"), 1);
}
