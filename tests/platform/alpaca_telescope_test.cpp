#include "platform/alpaca_loopback_server.h"
#include "platform/telescope/alpaca_telescope.h"

#include <QTcpServer>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <optional>
#include <thread>

using testing::HasSubstr;
using Mode = LoopbackAlpacaServer::Mode;

namespace {
// The message of the TelescopeError `call` throws; fails the test when it throws none.
template <class F> std::string errorOf(F call) {
    try {
        call();
    } catch (const TelescopeError& error) {
        return error.what();
    }
    ADD_FAILURE() << "no TelescopeError";
    return {};
}

class AlpacaTelescopeTest : public testing::Test {
protected:
    std::string where() const { return "127.0.0.1:" + std::to_string(server.port()); }

    LoopbackAlpacaServer server{2};
    AlpacaTelescope telescope{{"127.0.0.1", server.port(), 2}, {2000, 2000, 1000}};
};
} // namespace

TEST_F(AlpacaTelescopeTest, SendsEachMemberWithExactlyNamedParameters) {
    EXPECT_FALSE(telescope.Connected());
    EXPECT_TRUE(telescope.CanPulseGuide());
    telescope.setConnected(true);
    EXPECT_TRUE(telescope.Connected());
    telescope.PulseGuide(guideWest, 250.4);
    telescope.CommandBlind("Mgn0500");
    telescope.setConnected(false);

    const auto requests = server.requests();
    std::vector<std::string> calls;
    for (const auto& r : requests)
        calls.push_back(r.method + " " + r.member);
    // Connected() asks nothing before a link is held; connecting asks before switching on.
    EXPECT_THAT(calls, testing::ElementsAre("GET canpulseguide", "GET connected", "PUT connected",
                                            "GET connected", "PUT pulseguide", "PUT commandblind",
                                            "PUT connected"));
    using P = httplib::Params::value_type;
    EXPECT_THAT(requests[2].params, testing::Contains(P{"Connected", "true"}));
    EXPECT_THAT(requests[4].params,
                testing::IsSupersetOf({P{"Direction", "3"}, P{"Duration", "250"}}));
    EXPECT_THAT(requests[5].params,
                testing::IsSupersetOf({P{"Command", "Mgn0500"}, P{"Raw", "false"}}));
    EXPECT_THAT(requests[6].params, testing::Contains(P{"Connected", "false"}));
    for (std::size_t i = 0; i < requests.size(); ++i) {
        const auto& params = requests[i].params;
        EXPECT_EQ(params.count("ClientID"), 1u);
        EXPECT_EQ(params.find("ClientID")->second, std::to_string(AlpacaClient::clientId()));
        ASSERT_EQ(params.count("ClientTransactionID"), 1u);
        EXPECT_EQ(params.find("ClientTransactionID")->second, std::to_string(i + 1));
        if (requests[i].method == "PUT") {
            EXPECT_THAT(requests[i].contentType, HasSubstr("application/x-www-form-urlencoded"));
        }
    }
}

// The exposure loop asks whether a pulse still runs; the device answers for both axes.
TEST_F(AlpacaTelescopeTest, ReportsARunningPulseUntilItEnds) {
    telescope.setConnected(true);
    EXPECT_EQ(telescope.pulseRunning(guideNorth), false);
    telescope.PulseGuide(guideWest, 400);
    EXPECT_EQ(telescope.pulseRunning(guideNorth), true);
    std::optional<bool> running = true;
    for (int i = 0; i < 100 && running == true; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        running = telescope.pulseRunning(guideEast);
    }
    EXPECT_EQ(running, false);
    telescope.setConnected(false);
    EXPECT_THROW(telescope.pulseRunning(guideNorth), TelescopeError);
}

TEST_F(AlpacaTelescopeTest, GuidingRefusedByDeviceOrCallerRaisesErrors) {
    EXPECT_THAT(errorOf([&] { telescope.PulseGuide(guideNorth, 100); }),
                testing::AllOf(HasSubstr(where()), HasSubstr("not connected"), HasSubstr("0x407")));
    EXPECT_THAT(errorOf([&] { telescope.CommandBlind("Mgn0500"); }), HasSubstr("0x407"));
    const std::size_t sent = server.requests().size();
    telescope.setConnected(true);
    EXPECT_THROW(telescope.PulseGuide(4, 100), TelescopeError);
    EXPECT_THROW(telescope.PulseGuide(-1, 100), TelescopeError);
    EXPECT_THROW(telescope.PulseGuide(guideEast, std::nan("")), TelescopeError);
    EXPECT_THROW(telescope.PulseGuide(guideEast, 1e12), TelescopeError);
    telescope.PulseGuide(guideEast, 0);
    telescope.PulseGuide(guideEast, -20);
    telescope.PulseGuide(guideEast, 0.4);
    EXPECT_EQ(server.requests().size(), sent + 2) << "only the connection was sent";
}

TEST_F(AlpacaTelescopeTest, BadRepliesRaiseErrorsNamingTheDevice) {
    AlpacaTelescope otherNumber({"127.0.0.1", server.port(), 5});
    EXPECT_THAT(
        errorOf([&] { otherNumber.CanPulseGuide(); }),
        testing::AllOf(HasSubstr(where()), HasSubstr("400"), HasSubstr("No such telescope")));
    server.setMode(Mode::http500);
    EXPECT_THAT(
        errorOf([&] { telescope.setConnected(true); }),
        testing::AllOf(HasSubstr(where()), HasSubstr("500"), HasSubstr("Internal failure")));
    server.setMode(Mode::notJson);
    EXPECT_THAT(errorOf([&] { telescope.CanPulseGuide(); }),
                testing::AllOf(HasSubstr(where()), HasSubstr("unreadable reply")));
    server.setMode(Mode::noErrorNumber);
    EXPECT_THAT(errorOf([&] { telescope.CanPulseGuide(); }), HasSubstr("unreadable reply"));
}

TEST(AlpacaTelescope, SwitchesOffOnlyADeviceItSwitchedOn) {
    LoopbackAlpacaServer server;
    AlpacaTelescope ours({"127.0.0.1", server.port(), 0});
    AlpacaTelescope other({"127.0.0.1", server.port(), 0});
    ours.setConnected(false); // as at start-up: no link held
    EXPECT_TRUE(server.requests().empty());

    other.setConnected(true);
    ours.setConnected(true);
    ours.setConnected(false);
    EXPECT_TRUE(other.Connected()) << "the other program's connection was kept";
    other.setConnected(false);
    ours.setConnected(true);
    ours.setConnected(false);
    std::vector<std::string> switches;
    for (const auto& r : server.requests())
        if (r.method == "PUT")
            switches.push_back(r.params.find("Connected")->second);
    EXPECT_THAT(switches, testing::ElementsAre("true", "false", "true", "false"));
}

TEST(AlpacaTelescope, AWholeRequestEndsByItsDeadlineWhateverTheServerSends) {
    const AlpacaTimeouts waits{300, 600, 400};
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n"
                             "Content-Length: 40\r\n\r\n{\"Value\": true";
    const std::string reply = head + std::string(40, ' ');
    // One byte each 100 ms meets every single read's time-out; a stalled body meets none.
    TricklingServer trickle(reply, 100, reply.size());
    TricklingServer stalled(reply, 1, head.size());
    struct Case {
        const char* what;
        int port;
        std::function<void(AlpacaTelescope&)> call;
        double deadlineMs;
    };
    const std::vector<Case> cases{
        {"query", trickle.port(), [](AlpacaTelescope& t) { t.CanPulseGuide(); }, 600},
        {"connect", trickle.port(), [](AlpacaTelescope& t) { t.setConnected(true); }, 600},
        {"pulse", trickle.port(), [](AlpacaTelescope& t) { t.PulseGuide(guideEast, 700); }, 1100},
        {"stalled body", stalled.port(), [](AlpacaTelescope& t) { t.CanPulseGuide(); }, 600}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AlpacaTelescope telescope({"127.0.0.1", c.port, 0}, waits);
        const auto start = std::chrono::steady_clock::now();
        std::string message;
        try {
            c.call(telescope);
            ADD_FAILURE() << "no error";
        } catch (const TelescopeLinkLost& error) {
            message = error.what();
        }
        const double waitedMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        std::printf("%s: window blocked %.0f ms (deadline %.0f ms)\n", c.what, waitedMs,
                    c.deadlineMs);
        EXPECT_GE(waitedMs, c.deadlineMs - 20);
        EXPECT_LT(waitedMs, c.deadlineMs + 700);
        const std::size_t within = message.find("within ");
        ASSERT_NE(within, std::string::npos) << message;
        EXPECT_NEAR(std::stod(message.substr(within + 7)), waitedMs, 100) << message;
    }
    EXPECT_EQ(stalled.connections(), 1);
}

TEST(AlpacaTelescope, AfterOneUnansweredRequestEveryCallFailsAtOnceUntilConnectedAgain) {
    LoopbackAlpacaServer server;
    AlpacaTelescope telescope({"127.0.0.1", server.port(), 0}, {300, 400, 300});
    telescope.setConnected(true);
    server.setMode(Mode::slow, 20000);
    EXPECT_THROW(telescope.PulseGuide(guideNorth, 50), TelescopeLinkLost);
    const std::size_t sent = server.requests().size();
    EXPECT_FALSE(telescope.Connected());
    EXPECT_THAT(errorOf([&] { telescope.PulseGuide(guideNorth, 50); }),
                HasSubstr("stopped answering"));
    EXPECT_THROW(telescope.CommandBlind("Q"), TelescopeLinkLost);
    EXPECT_THROW(telescope.CanPulseGuide(), TelescopeLinkLost);
    telescope.setConnected(false);
    EXPECT_EQ(server.requests().size(), sent) << "nothing more was sent to the silent device";

    server.setMode(Mode::normal);
    telescope.setConnected(true);
    EXPECT_TRUE(telescope.Connected());
    telescope.PulseGuide(guideNorth, 50);

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const int freePort = closed.serverPort();
    closed.close();
    AlpacaTelescope refused({"127.0.0.1", freePort, 0}, {300, 300, 500});
    EXPECT_THAT(errorOf([&] { refused.setConnected(true); }),
                HasSubstr("127.0.0.1:" + std::to_string(freePort)));
    AlpacaTelescope unknown({"no-such-mount.invalid", 11111, 0}, {300, 300, 500});
    EXPECT_THAT(errorOf([&] { unknown.CanPulseGuide(); }),
                HasSubstr("no-such-mount.invalid:11111"));
}

// Pointing (for the calibration's advice) and guide rates from the members a mount implements;
// the ones it does not leave their part unknown without losing the link.
TEST_F(AlpacaTelescopeTest, ReportsPointingAndGuideRatesFromWhatTheMountImplements) {
    telescope.setConnected(true);
    MountPointing p = telescope.pointing();
    EXPECT_EQ(p.decDeg, 30.0);
    EXPECT_EQ(p.hourAngleH, std::nullopt);
    EXPECT_EQ(p.pierSide, PierSide::Unknown);
    EXPECT_EQ(telescope.reportedEquipment().raGuideRate, std::nullopt);
    EXPECT_TRUE(telescope.Connected());

    server.setNumber("rightascension", 23.5);
    server.setNumber("siderealtime", 1.0); // 1.5 h west of the meridian, across 0 h
    server.setNumber("sitelatitude", 30);
    server.setNumber("sideofpier", 1);
    server.setNumber("guideraterightascension", 0.5 * 15.041067 / 3600);
    server.setNumber("guideratedeclination", 0.0025);
    p = telescope.pointing();
    ASSERT_TRUE(p.hourAngleH);
    EXPECT_NEAR(*p.hourAngleH, 1.5, 1e-9);
    EXPECT_EQ(p.pierSide, PierSide::West);
    ASSERT_TRUE(p.altitudeDeg);
    EXPECT_GT(*p.altitudeDeg, 60); // Dec 30 at latitude 30, 22.5 degrees from the meridian
    const MountEquipment e = telescope.reportedEquipment();
    EXPECT_NEAR(e.raGuideRate.value_or(0), 7.52, 0.01);
    EXPECT_NEAR(e.decGuideRate.value_or(0), 9.0, 1e-9);
    server.setNumber("sideofpier", 0);
    EXPECT_EQ(telescope.pointing().pierSide, PierSide::East);

    // A reply that is no declination is none.
    server.setDeclination(-89.5);
    EXPECT_EQ(telescope.declination(), -89.5);
    server.setDeclination(123);
    EXPECT_EQ(telescope.declination(), std::nullopt);
    telescope.setConnected(false);
    EXPECT_THROW(telescope.declination(), TelescopeError);
}
