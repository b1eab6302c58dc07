#include "platform/telescope/indi_server_health.h"
#include "printers.h"

#include <QTcpServer>
#include <gtest/gtest.h>

namespace {
struct FakeServers {
    bool answering = false;
    int probes = 0;
    qint64 nowMs = 0;

    IndiServerHealth health() {
        return IndiServerHealth(
            [this](const QString&, int) {
                ++probes;
                return answering;
            },
            [this] { return nowMs; });
    }
};

const IndiAddress hung{QStringLiteral("localhost"), 7624, QStringLiteral("Telescope Simulator")};
const IndiAddress sameServerCamera{QStringLiteral("localhost"), 7624,
                                   QStringLiteral("CCD Simulator")};
const IndiAddress other{QStringLiteral("localhost"), 7625, QStringLiteral("Telescope Simulator")};
} // namespace

// After one time-out every device of that server fails at once: a probe of its own at most once
// per probe gap, none between, until the server answers; other servers are untouched.
TEST(IndiServerHealth, OneTimeOutMakesLaterCallsFailAtOnceUntilAProbeIsAnswered) {
    FakeServers servers;
    IndiServerHealth health = servers.health();
    EXPECT_TRUE(health.answers(hung));
    EXPECT_EQ(servers.probes, 0);

    health.timedOut(hung, QStringLiteral("did not answer in time"));
    EXPECT_TRUE(health.unresponsive(sameServerCamera));
    EXPECT_EQ(health.reason(sameServerCamera), "did not answer in time");
    EXPECT_FALSE(health.unresponsive(other));
    EXPECT_TRUE(health.answers(other));
    EXPECT_FALSE(health.answers(hung));
    EXPECT_EQ(servers.probes, 1);
    for (servers.nowMs = 0; servers.nowMs < IndiServerHealth::kProbeGapMs; servers.nowMs += 100)
        EXPECT_FALSE(health.answers(sameServerCamera));
    EXPECT_EQ(servers.probes, 1);
    EXPECT_FALSE(health.answers(hung));
    EXPECT_EQ(servers.probes, 2);

    servers.answering = true;
    servers.nowMs += IndiServerHealth::kProbeGapMs;
    EXPECT_TRUE(health.answers(sameServerCamera));
    EXPECT_FALSE(health.unresponsive(hung));
    EXPECT_TRUE(health.answers(hung));
    EXPECT_EQ(servers.probes, 3);
    EXPECT_EQ(health.timeOuts(hung), 1);
    EXPECT_EQ(health.timeOuts(other), 0);
}

// A wait that ran out counts against the server only when a probe goes unanswered too; the
// first call after any time-out probes at once, however recent the last probe (a server
// continued right after its time-out is used at once).
TEST(IndiServerHealth, ASlowAnswerIsNoTimeOutWhenTheServerStillAnswers) {
    FakeServers servers;
    IndiServerHealth health = servers.health();
    servers.answering = true;
    EXPECT_TRUE(health.probeAfterWait(hung, QStringLiteral("late")));
    EXPECT_FALSE(health.unresponsive(hung));
    EXPECT_EQ(health.timeOuts(hung), 0);

    servers.answering = false;
    EXPECT_FALSE(health.probeAfterWait(hung, QStringLiteral("late")));
    EXPECT_TRUE(health.unresponsive(hung));
    EXPECT_FALSE(health.answers(hung));
    EXPECT_EQ(servers.probes, 3);
    EXPECT_FALSE(health.answers(hung));
    EXPECT_EQ(servers.probes, 3);
    health.timedOut(hung, QStringLiteral("silent"));
    EXPECT_EQ(health.reason(hung), "silent");
    servers.answering = true;
    EXPECT_TRUE(health.answers(hung));
    EXPECT_EQ(servers.probes, 4);
    EXPECT_EQ(health.timeOuts(hung), 2);
}

// A server that takes the connection and says nothing, and a port nobody listens on, do not
// answer the probe.
TEST(IndiServerHealth, ProbeNeedsAnAnswerNotOnlyAConnection) {
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    EXPECT_FALSE(probeIndiServer(QStringLiteral("127.0.0.1"), silent.serverPort(), 300));
    const int port = silent.serverPort();
    silent.close();
    EXPECT_FALSE(probeIndiServer(QStringLiteral("127.0.0.1"), port, 300));
}
