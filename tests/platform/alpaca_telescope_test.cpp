#include "platform/alpaca_loopback_server.h"
#include "platform/telescope/alpaca_telescope.h"

#include <QTcpServer>
#include <chrono>
#include <cmath>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

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

double secondsOf(auto call) {
    const auto start = std::chrono::steady_clock::now();
    errorOf(call);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
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
    EXPECT_THAT(calls, testing::ElementsAre("GET connected", "GET canpulseguide", "PUT connected",
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
    EXPECT_EQ(server.requests().size(), sent + 1) << "only the connection was sent";
}

TEST_F(AlpacaTelescopeTest, BadRepliesRaiseErrorsNamingTheDevice) {
    AlpacaTelescope otherNumber({"127.0.0.1", server.port(), 5});
    EXPECT_THAT(
        errorOf([&] { otherNumber.Connected(); }),
        testing::AllOf(HasSubstr(where()), HasSubstr("400"), HasSubstr("No such telescope")));
    server.setMode(Mode::http500);
    EXPECT_THAT(
        errorOf([&] { telescope.setConnected(true); }),
        testing::AllOf(HasSubstr(where()), HasSubstr("500"), HasSubstr("Internal failure")));
    server.setMode(Mode::notJson);
    EXPECT_THAT(errorOf([&] { telescope.Connected(); }),
                testing::AllOf(HasSubstr(where()), HasSubstr("unreadable reply")));
    server.setMode(Mode::noErrorNumber);
    EXPECT_THAT(errorOf([&] { telescope.CanPulseGuide(); }), HasSubstr("unreadable reply"));
}

TEST(AlpacaTelescope, WaitsAreBoundedByTheTimeouts) {
    LoopbackAlpacaServer server;
    const AlpacaTimeouts shortWaits{300, 300, 500};
    AlpacaTelescope telescope({"127.0.0.1", server.port(), 0}, shortWaits);
    // A guide pulse answered only when it ends is waited for beyond the call time-out.
    telescope.setConnected(true);
    server.setPulseWaits(true);
    telescope.PulseGuide(guideSouth, 700);

    server.setMode(Mode::slow, 20000);
    EXPECT_LT(secondsOf([&] { telescope.Connected(); }), 5.0);
    EXPECT_THAT(errorOf([&] { telescope.CommandBlind("Q"); }), HasSubstr("no reply within 300 ms"));

    QTcpServer closed;
    ASSERT_TRUE(closed.listen(QHostAddress::LocalHost));
    const int freePort = closed.serverPort();
    closed.close();
    AlpacaTelescope refused({"127.0.0.1", freePort, 0}, shortWaits);
    EXPECT_LT(secondsOf([&] { refused.Connected(); }), 5.0);
    EXPECT_THAT(errorOf([&] { refused.Connected(); }),
                HasSubstr("127.0.0.1:" + std::to_string(freePort)));
    AlpacaTelescope unknown({"no-such-mount.invalid", 11111, 0}, shortWaits);
    EXPECT_THAT(errorOf([&] { unknown.Connected(); }), HasSubstr("no-such-mount.invalid:11111"));
}
