#include "platform/alpaca_loopback_server.h"
#include "platform/telescope/alpaca_discovery.h"
#include "platform/telescope/telescope.h"

#include <QUdpSocket>
#include <gtest/gtest.h>

namespace {
QByteArray portAnswer(int port) {
    return QStringLiteral(R"({"AlpacaPort": %1})").arg(port).toUtf8();
}

const QList<QHostAddress> loopback{QHostAddress(QHostAddress::LocalHost)};
} // namespace

TEST(AlpacaDiscovery, FindsOnlyTheTelescopesOfEachServerOnce) {
    LoopbackAlpacaServer server;
    server.setDevices({{"Guide Camera", "Camera", 0}, {"Sky Mount", "Telescope", 0}});
    // Answers that are not an Alpaca server's are ignored.
    LoopbackDiscoveryResponder responder(
        {"hello", R"({"AlpacaPort": 0})", R"({"Port": 11111})", portAnswer(server.port())});
    // The same server reached through two targets is asked once.
    const std::vector<AlpacaDevice> found =
        discoverAlpacaTelescopes(500, responder.port(), loopback + loopback);
    EXPECT_EQ(responder.probes(), 2);
    EXPECT_EQ(found, (std::vector<AlpacaDevice>{{"Sky Mount", {"127.0.0.1", server.port(), 0}}}));
}

TEST(AlpacaDiscovery, NoAnswerFindsNothingWithinTheTimeout) {
    QUdpSocket silent;
    ASSERT_TRUE(silent.bind(QHostAddress::LocalHost, 0));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(discoverAlpacaTelescopes(200, silent.localPort(), loopback).empty());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(AlpacaDiscovery, ListsTheTelescopesOfATypedServer) {
    LoopbackAlpacaServer server;
    server.setDevices({{"Main", "Telescope", 0},
                       {"Dome", "Dome", 0},
                       {"Second", "telescope", 3},
                       {"Broken", "Telescope", -1}});
    EXPECT_EQ(listAlpacaTelescopes("127.0.0.1", server.port(), 1000),
              (std::vector<AlpacaDevice>{{"Main", {"127.0.0.1", server.port(), 0}},
                                         {"Second", {"127.0.0.1", server.port(), 3}}}));
    QUdpSocket placeholder; // a port number with no TCP server behind it
    ASSERT_TRUE(placeholder.bind(QHostAddress::LocalHost, 0));
    EXPECT_THROW(listAlpacaTelescopes("127.0.0.1", placeholder.localPort(), 300), TelescopeError);
}
