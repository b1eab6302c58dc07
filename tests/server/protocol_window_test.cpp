#include "app/button_colour.h"
#include "printers.h"
#include "server/server_fixture.h"

#include <QJsonArray>
#include <QPushButton>
#include <QRegularExpression>

namespace {
QJsonObject error(const QJsonObject& response) {
    return response.value("error").toObject();
}
QString appState(ProtocolClient& c) {
    return c.call("get_app_state").value("result").toString();
}
QString refusal(ProtocolClient& c, const char* method, const QByteArray& params) {
    return error(c.call(method, params)).value("message").toString();
}
} // namespace

// The greeting, framing both ways, both params forms, and every kind of protocol error, the
// 1 MB line included. String ids, LF only and no "jsonrpc": NamedParamsAndAStarLostWhileSettling.
TEST_F(ServerTest, FramingIdsParamsAndProtocolErrors) {
    ProtocolClient c(port);
    ASSERT_GE(c.event("AppState"), 0);
    EXPECT_EQ(c.names(), QStringList({"Version", "AppState"}));
    EXPECT_EQ(c.lines[1].value("State").toString(), "Stopped");
    EXPECT_TRUE(c.raw[0].endsWith("\r\n"));
    EXPECT_TRUE(c.raw[0].startsWith("{\"Event\":\"Version\",\"Timestamp\":"));

    const QJsonObject state = c.call("get_app_state");
    EXPECT_EQ(state.value("jsonrpc").toString(), "2.0");
    EXPECT_EQ(state.value("result").toString(), "Stopped");
    EXPECT_TRUE(state.value("id").isDouble());

    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 1000);

    // No id: run, not answered. Named params.
    c.send("{\"method\":\"set_exposure\",\"params\":[2000]}\r\n");
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 2000);
    const size_t before = c.lines.size();
    c.send("{\"method\":\"set_exposure\",\"params\":{\"exposure\":3000},\"id\":77}\n");
    EXPECT_EQ(c.response(77).value("result").toInt(-1), 0);
    EXPECT_EQ(c.lines.size(), before + 1);
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 3000);

    c.send("[{\"method\":\"get_paused\",\"id\":80},{\"method\":\"get_settling\",\"id\":81}]\n");
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return c.raw.last().startsWith('['); }));
    EXPECT_EQ(QJsonDocument::fromJson(c.raw.last()).array().size(), 2);

    c.send("{\"method\":\n");
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return error(c.lines.back()).contains("code"); }));
    EXPECT_EQ(error(c.lines.back()).value("code").toInt(), -32700);
    EXPECT_TRUE(c.lines.back().value("id").isNull());
    c.send("{\"params\":[],\"id\":90}\n");
    ASSERT_TRUE(ProtocolClient::waitFor(
        [&] { return error(c.lines.back()).value("code").toInt() == -32600; }));
    EXPECT_TRUE(c.lines.back().value("id").isNull());
    const QJsonObject unknown = c.call("no_such_method");
    EXPECT_EQ(error(unknown).value("code").toInt(), -32601);
    EXPECT_TRUE(unknown.value("id").isDouble());
    const QJsonObject bad = c.call("set_connected", "[\"yes\"]");
    EXPECT_EQ(error(bad).value("code").toInt(), -32602);
    EXPECT_EQ(error(bad).value("message").toString(), "expected connected boolean param");
    EXPECT_EQ(refusal(c, "guide", "[{\"pixels\":1}]"), "invalid settle params");

    // A megabyte without a line end: "too big", then the next request is answered as usual.
    c.send(QByteArray(1024 * 1024, 'x'));
    c.send("\n");
    EXPECT_EQ(appState(c), "Stopped");
    const auto tooBig = std::find_if(c.lines.begin(), c.lines.end(), [](const QJsonObject& o) {
        return error(o).value("code").toInt() == -32603;
    });
    ASSERT_NE(tooBig, c.lines.end());
    EXPECT_EQ(error(*tooBig).value("message").toString(), "too big");
}

// Each method's answer before and after connecting, as the imaging programs read them.
TEST_F(ServerTest, EveryMethodAnswers) {
    ProtocolClient c(port);
    ASSERT_GE(c.event("AppState"), 0);
    auto result = [&](const char* method, const QByteArray& params = {}) {
        return c.call(method, params).value("result");
    };
    auto code = [&](const char* method, const QByteArray& params = {}) {
        return error(c.call(method, params)).value("code").toInt();
    };
    EXPECT_FALSE(result("get_connected").toBool(true)); // the telescope comes back unconnected
    EXPECT_EQ(result("set_connected", "[true]").toInt(-1), 0);
    EXPECT_TRUE(result("get_connected").toBool());
    EXPECT_NEAR(result("get_pixel_scale").toDouble(), 0.802, 0.001); // 5.6 um at 1440 mm
    EXPECT_EQ(result("get_exposure_durations").toArray().size(), 20);
    EXPECT_EQ(code("set_exposure", "[1500]"), 1);
    EXPECT_TRUE(result("get_lock_position").isNull());
    EXPECT_EQ(code("get_star_image", "[32]"), 2);
    EXPECT_EQ(code("get_star_image", "[3]"), -32602);
    EXPECT_FALSE(result("get_calibrated").toBool(true));
    EXPECT_EQ(result("clear_calibration", "[\"Both\"]").toInt(-1), 0);
    EXPECT_FALSE(result("get_paused").toBool(true));
    const QJsonObject equipment = result("get_current_equipment").toObject();
    EXPECT_EQ(equipment["camera"].toObject()["name"].toString(), "Orvalis Sky Simulator 1.0");
    EXPECT_EQ(equipment["mount"].toObject()["name"].toString(), "Orvalis.Simulator");
    EXPECT_TRUE(equipment["mount"].toObject()["connected"].toBool());
    EXPECT_EQ(result("get_dec_guide_mode").toString(), "Auto");
    EXPECT_EQ(result("set_dec_guide_mode", "[\"Off\"]").toInt(-1), 0);
    EXPECT_FALSE(window->state.decCorrect);
    EXPECT_EQ(rig.fp.store.get("Guiding Options", "Dec Correct"), "0");
    EXPECT_EQ(result("set_dec_guide_mode", "[\"North\"]").toInt(-1), 0);
    EXPECT_EQ(result("get_dec_guide_mode").toString(), "North");
    EXPECT_TRUE(window->state.decCorrect);
    EXPECT_EQ(code("set_dec_guide_mode", "[\"Sideways\"]"), 1);
    EXPECT_EQ(result("get_algo_param_names", "[\"ra\"]").toArray(), QJsonArray{"algorithmName"});
    EXPECT_EQ(result("set_algo_param", "[\"dec\",\"algorithmName\",\"Hysteresis\"]").toInt(-1), 0);
    EXPECT_EQ(rig.fp.store.get("Guide Law Options", "Dec Law"), "Hysteresis");
    EXPECT_EQ(result("set_algo_param", "[\"y\",\"Minimum Move\",0.4]").toInt(-1), 0);
    EXPECT_EQ(result("get_algo_param", "[\"DEC\",\"Minimum Move\"]").toDouble(), 0.4);
    EXPECT_EQ(rig.fp.store.get("Guide Law Options", "Dec Hysteresis Minimum Move"), "0.4");
    EXPECT_EQ(code("set_algo_param", "[\"dec\",\"Minimum Move\",-1]"), 1);
    EXPECT_EQ(code("set_algo_param", "[\"ra\",\"algorithmName\",\"Psychic\"]"), 1);
    EXPECT_EQ(code("get_algo_param", "[\"z\",\"algorithmName\"]"), -32602);
    EXPECT_EQ(result("get_algo_param", "[\"ra\",\"algorithmName\"]").toString(), "Standard");
    EXPECT_EQ(result("get_profiles").toArray()[0].toObject()["name"].toString(), "Orvalis");
    EXPECT_EQ(result("get_profile").toObject()["id"].toInt(), 1);
    EXPECT_EQ(code("set_profile", "[2]"), 1);
    EXPECT_EQ(result("get_camera_frame_size").toArray(), QJsonArray({640, 480}));
    EXPECT_FALSE(result("get_settling").toBool(true));
    EXPECT_EQ(code("dither", "[2,false,{\"pixels\":1,\"time\":0,\"timeout\":9}]"), 1);
    EXPECT_EQ(code("find_star"), 1); // no frame yet
    EXPECT_EQ(result("get_lock_shift_params").toObject()["enabled"].toBool(true), false);
    EXPECT_EQ(result("set_connected", "[false]").toInt(-1), 0);
    EXPECT_FALSE(result("get_connected").toBool(true));
    EXPECT_FALSE(window->mnuTelescopeConnected->isChecked());
    // The answer goes out before the window closes and the server with it.
    EXPECT_EQ(result("shutdown").toInt(-1), 0);
    EXPECT_TRUE(ProtocolClient::waitFor(
        [&] { return c.socket.state() == QAbstractSocket::UnconnectedState; }));
    EXPECT_FALSE(window->isVisible());
}

// guide from idle: a star chosen automatically, guiding, settled; then a dither, pause and
// stop, each with its events in the protocol's order.
TEST_F(ServerTest, GuideDitherPauseAndStop) {
    ProtocolClient c(port);
    connectAndLoop(c);
    ASSERT_GE(c.event("LoopingExposures"), 0);

    size_t from = c.lines.size();
    const QByteArray settle = "{\"pixels\":1.5,\"time\":0,\"timeout\":30}";
    EXPECT_EQ(c.call("guide", "[" + settle + ",false]").value("result").toInt(-1), 0);
    const int settled = cycleUntil(c, "SettleDone", from);
    ASSERT_GE(settled, 0);
    QStringList order = c.names(from);
    order.removeAll("GuideStep");
    order.removeAll("Settling");
    order.removeAll("LoopingExposures"); // the frames before guiding
    // The frame on show had the star: guiding started right after the answer.
    EXPECT_EQ(order, QStringList({"response", "StarSelected", "LockPositionSet", "StartGuiding",
                                  "SettleBegin", "SettleDone"}));
    EXPECT_EQ(c.lines[settled].value("Status").toInt(-1), 0);
    const QPointF star = rig.sky.guideStarPosition();
    EXPECT_NEAR(window->state.targetX, star.x(), 1.5);
    EXPECT_NEAR(window->state.targetY, star.y(), 1.5);
    EXPECT_EQ(appState(c), "Guiding");
    EXPECT_EQ(buttonColour(window->cmdGuide), Colour::Green);
    const int step = c.event("GuideStep", from);
    ASSERT_GE(step, 0);
    static const QRegularExpression keys("\"(\\w+)\":");
    QStringList fields;
    for (auto m = keys.globalMatch(c.raw[step]); m.hasNext();)
        fields << m.next().captured(1);
    fields.removeAll("RADuration");
    fields.removeAll("RADirection");
    fields.removeAll("DECDuration");
    fields.removeAll("DECDirection");
    EXPECT_EQ(fields, QStringList({"Event", "Timestamp", "Host", "Inst", "Frame", "Time", "Mount",
                                   "dx", "dy", "RADistanceRaw", "DECDistanceRaw", "RADistanceGuide",
                                   "DECDistanceGuide", "StarMass", "SNR", "HFD", "AvgDist"}));
    EXPECT_GT(c.lines[step].value("SNR").toDouble(), 8.0);

    const QJsonObject image = c.call("get_star_image", "[32]").value("result").toObject();
    EXPECT_EQ(image["width"].toInt(), 31);
    EXPECT_EQ(QByteArray::fromBase64(image["pixels"].toString().toLatin1()).size(), 31 * 31 * 2);

    const QPointF lock(window->state.targetX, window->state.targetY);
    from = c.lines.size();
    c.call("dither", "[3,false,{\"pixels\":1.5,\"time\":0,\"timeout\":30}]");
    EXPECT_EQ(c.names(from),
              QStringList({"LockPositionSet", "GuidingDithered", "SettleBegin", "response"}));
    const QPointF moved(window->state.targetX, window->state.targetY);
    EXPECT_LE(std::hypot(moved.x() - lock.x(), moved.y() - lock.y()), 3.0 + 1e-3);
    EXPECT_TRUE(c.call("get_settling").value("result").toBool());
    const int done = cycleUntil(c, "SettleDone", from);
    ASSERT_GE(done, 0);
    EXPECT_EQ(c.lines[done].value("Status").toInt(-1), 0);

    from = c.lines.size();
    c.call("set_paused", "[true,\"full\"]");
    EXPECT_EQ(c.names(from), QStringList({"Paused", "response"}));
    EXPECT_EQ(appState(c), "Paused");
    EXPECT_EQ(buttonColour(window->cmdGuide), Colour::Yellow);
    EXPECT_FALSE(window->HalfSecTimer->isActive());
    from = c.lines.size();
    c.call("set_paused", "[false]");
    EXPECT_EQ(c.names(from), QStringList({"Resumed", "response"}));
    EXPECT_EQ(appState(c), "Guiding");
    EXPECT_TRUE(window->HalfSecTimer->isActive());

    // Paused for corrections only: the exposures go on, no guide steps.
    c.call("set_paused", "[1]");
    from = c.lines.size();
    cycle();
    cycle();
    EXPECT_FALSE(c.names(from).contains("GuideStep"));
    EXPECT_TRUE(c.names(from).contains("LoopingExposures"));
    window->cmdPreview->click(); // the operator stops the exposures while paused
    EXPECT_EQ(appState(c), "Stopped");
    window->cmdPreview->click();
    c.call("set_paused", "[false]");

    from = c.lines.size();
    c.call("stop_capture");
    EXPECT_EQ(c.names(from),
              QStringList({"GuidingStopped", "LoopingExposuresStopped", "response"}));
    EXPECT_EQ(appState(c), "Stopped");
    EXPECT_EQ(buttonColour(window->cmdGuide), Colour::Red);
}

// A settle ends in exactly one SettleDone: on timeout, and when capture stops meanwhile.
// The guide comes right after loop, as Ekos sends it: the star is chosen from the loop's
// first frame, not from the picture shown before it.
TEST_F(ServerTest, SettleTimeoutAndStopEachEndInOneSettleDone) {
    ProtocolClient c(port);
    ASSERT_NO_FATAL_FAILURE(greetAndConnect(c));
    c.call("loop");
    size_t from = c.lines.size();
    c.call("guide", "[{\"pixels\":1.5,\"time\":0,\"timeout\":30}]");
    const int settled = cycleUntil(c, "SettleDone", from);
    ASSERT_GE(settled, 0);
    EXPECT_EQ(c.lines[settled].value("Status").toInt(-1), 0);
    EXPECT_EQ(c.names(from).mid(0, 2), QStringList({"response", "LoopingExposures"}));
    EXPECT_NEAR(window->state.targetX, rig.sky.guideStarPosition().x(), 1.5);

    from = c.lines.size();
    c.call("dither", "[8,false,{\"pixels\":0.01,\"time\":5,\"timeout\":0}]");
    const int timedOut = cycleUntil(c, "SettleDone", from);
    ASSERT_GE(timedOut, 0);
    EXPECT_EQ(c.lines[timedOut].value("Status").toInt(), 1);
    EXPECT_EQ(c.lines[timedOut].value("Error").toString(),
              "timed-out waiting for guider to settle");
    EXPECT_EQ(appState(c), "Guiding"); // guiding goes on

    from = c.lines.size();
    c.call("dither", "[2,false,{\"pixels\":0.01,\"time\":60,\"timeout\":600}]");
    cycle();
    EXPECT_EQ(refusal(c, "dither", "[2,false,{\"pixels\":1,\"time\":0,\"timeout\":9}]"),
              "Cannot initiate dither while dither is in progress");
    EXPECT_EQ(refusal(c, "guide", "[{\"pixels\":1,\"time\":0,\"timeout\":9}]"),
              "Cannot initiate guide while dither is in progress");
    c.call("stop_capture");
    cycle();
    EXPECT_EQ(c.names(from).count("SettleDone"), 1);
    const int stopped = c.event("SettleDone", from);
    EXPECT_EQ(c.lines[stopped].value("Error").toString(), "Guiding stopped");
}

// The operator's own actions reach the clients too; the menu's automatic choice locks the
// simulator's guide star as a click on it would.
TEST_F(ServerTest, WindowActionsAreReported) {
    ProtocolClient c(port);
    connectAndLoop(c);
    size_t from = c.lines.size();
    window->mnuSelectStarAutomatically->trigger();
    ASSERT_TRUE(window->state.locked);
    EXPECT_EQ(buttonColour(window->cmdLock), Colour::Green);
    EXPECT_NEAR(window->state.targetX, rig.sky.guideStarPosition().x(), 1.5);
    EXPECT_GE(c.event("LockPositionSet", from, 1000), 0); // at once, not with the next frame
    window->cmdGuide->click();
    window->cmdLock->click();
    ASSERT_GE(c.event("LockPositionLost", from), 0);
    EXPECT_EQ(c.names(from),
              QStringList({"StarSelected", "LockPositionSet", "StartGuiding", "LockPositionLost"}));
    // A client joining now learns the state in its greeting.
    ProtocolClient late(port);
    ASSERT_GE(late.event("AppState"), 0);
    EXPECT_EQ(late.names(), QStringList({"Version", "StartGuiding", "AppState"}));
    EXPECT_EQ(late.lines.back().value("State").toString(), "Looping");

    // find_star picks the same star, but never while guiding.
    EXPECT_EQ(error(c.call("find_star")).value("code").toInt(), 1);
    window->cmdGuide->click();
    const QPointF star = rig.sky.guideStarPosition();
    const QByteArray roi = QStringLiteral("[[%1,%2,60,60]]")
                               .arg(static_cast<int>(star.x()) - 30)
                               .arg(static_cast<int>(star.y()) - 30)
                               .toLatin1();
    const QJsonArray at = c.call("find_star", roi).value("result").toArray();
    ASSERT_EQ(at.size(), 2);
    EXPECT_NEAR(at[0].toDouble(), star.x(), 1.5);
    EXPECT_NEAR(at[1].toDouble(), star.y(), 1.5);
    EXPECT_EQ(appState(c), "Selected");
    // Asked again, as N.I.N.A. asks (named params, a GUID id): the star is announced anew.
    from = c.lines.size();
    c.send("{\"method\":\"find_star\",\"params\":{\"roi\":" + roi.mid(1, roi.size() - 2) +
           "},\"id\":\"5e2a-find\"}\n");
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return c.raw.last().contains("5e2a-find"); }));
    EXPECT_EQ(c.lines.back().value("result").toArray().size(), 2);
    EXPECT_EQ(c.names(from), QStringList({"StarSelected", "LockPositionSet", "response"}));
}

// guide with recalibrate: the window's calibration runs first, with its events, then guiding;
// the stored calibration is announced to a client joining later and can be cleared.
TEST_F(ServerTest, GuideWithRecalibrateCalibratesFirst) {
    ProtocolClient c(port);
    connectAndLoop(c);
    const size_t from = c.lines.size();
    c.call("guide", "[{\"pixels\":1.5,\"time\":0,\"timeout\":60},true]");
    EXPECT_EQ(appState(c), "Calibrating");
    ASSERT_GE(cycleUntil(c, "SettleDone", from, 120), 0);
    QStringList order = c.names(from);
    order.removeAll("GuideStep");
    order.removeAll("Settling");
    order.removeAll("response");
    const qsizetype steps = order.removeAll("Calibrating");
    EXPECT_GE(steps, 4);
    EXPECT_EQ(order,
              QStringList({"StarSelected", "LockPositionSet", "StartCalibration",
                           "CalibrationComplete", "StartGuiding", "SettleBegin", "SettleDone"}));
    const int step = c.event("Calibrating", from);
    EXPECT_EQ(c.lines[step].value("dir").toString(), "West");
    EXPECT_EQ(c.lines[step].value("pos").toArray().size(), 2);
    EXPECT_EQ(c.lines[c.event("SettleDone", from)].value("Status").toInt(-1), 0);
    EXPECT_TRUE(c.call("get_calibrated").value("result").toBool());
    EXPECT_TRUE(window->calibration().has_value());

    ProtocolClient late(port);
    ASSERT_GE(late.event("AppState"), 0);
    EXPECT_EQ(late.names(), QStringList({"Version", "LockPositionSet", "StarSelected",
                                         "CalibrationComplete", "StartGuiding", "AppState"}));
    c.call("clear_calibration", "[\"Both\"]");
    EXPECT_FALSE(c.call("get_calibrated").value("result").toBool(true));

    // Stopped while calibrating: the calibration fails and the guide ends in one SettleDone.
    c.call("stop_capture");
    c.call("loop");
    cycle();
    const size_t again = c.lines.size();
    c.call("guide", "[{\"pixels\":1.5,\"time\":0,\"timeout\":60},true]");
    cycle();
    c.call("stop_capture");
    const int failed = c.event("CalibrationFailed", again);
    ASSERT_GE(failed, 0);
    EXPECT_EQ(c.lines[failed].value("Reason").toString(), "Calibration manually stopped");
    EXPECT_EQ(c.names(again).count("SettleDone"), 1);
    EXPECT_EQ(c.lines[c.event("SettleDone", again)].value("Status").toInt(), 1);
}

// As N.I.N.A. asks (named params, GUID ids, LF only). A dither that cannot move the target
// still announces it; a star lost for good ends the settle in one SettleDone while guiding goes
// on as LostLock, with no star image to give, and guiding resumes when the star is back.
TEST_F(ServerTest, NamedParamsAndAStarLostWhileSettling) {
    ProtocolClient c(port);
    connectAndLoop(c);
    auto send = [&](const QByteArray& method, const QByteArray& params) {
        const QString id = method + "-5e2a";
        c.send("{\"method\":\"" + method + "\",\"params\":" + params + ",\"id\":\"" +
               id.toLatin1() + "\"}\n");
        QJsonObject response;
        EXPECT_TRUE(ProtocolClient::waitFor([&] {
            for (const QJsonObject& line : c.lines)
                if (line.value("id").toString() == id)
                    response = line;
            return !response.isEmpty();
        }));
        return response.value("result").toInt(-1);
    };
    size_t from = c.lines.size();
    const QByteArray settle = "{\"pixels\":1.5,\"time\":0,\"timeout\":30}";
    EXPECT_EQ(send("guide", "{\"settle\":" + settle + ",\"recalibrate\":false}"), 0);
    const int settled = cycleUntil(c, "SettleDone", from);
    ASSERT_GE(settled, 0);
    EXPECT_EQ(c.lines[settled].value("Status").toInt(-1), 0);

    from = c.lines.size();
    const QByteArray wait = "{\"pixels\":1.5,\"time\":60,\"timeout\":600}";
    EXPECT_EQ(send("dither", "{\"amount\":0,\"raOnly\":true,\"settle\":" + wait + "}"), 0);
    ASSERT_EQ(c.names(from),
              QStringList({"LockPositionSet", "GuidingDithered", "SettleBegin", "response"}));
    EXPECT_EQ(c.lines[from + 1].value("dx").toDouble(-1), 0.0);

    SkyOptions dark = rig.sky.options();
    dark.starBrightness = 0;
    rig.sky.setOptions(dark);
    from = c.lines.size();
    const int lost = cycleUntil(c, "SettleDone", from, 2 * SettleTracker::kLostFrames);
    ASSERT_GE(lost, 0);
    EXPECT_EQ(c.lines[lost].value("Error").toString(), "star lost");
    EXPECT_EQ(c.names(from).count("SettleDone"), 1);
    EXPECT_EQ(c.names(from).count("StarLost"), SettleTracker::kLostFrames);
    EXPECT_FALSE(c.names(from).contains("GuideStep"));
    EXPECT_EQ(appState(c), "LostLock");
    EXPECT_EQ(error(c.call("get_star_image", "[32]")).value("code").toInt(), 2);

    rig.sky.setOptions(SkyOptions{});
    from = c.lines.size();
    ASSERT_GE(cycleUntil(c, "GuideStep", from, 3), 0);
    EXPECT_EQ(appState(c), "Guiding");
    EXPECT_EQ(c.names(from).count("SettleDone"), 0);
}
