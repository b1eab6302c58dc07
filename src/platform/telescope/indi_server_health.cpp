#include "platform/telescope/indi_server_health.h"

#include <QElapsedTimer>
#include <QTcpSocket>
#include <algorithm>

namespace {
// A server that runs answers a request for its properties within milliseconds.
constexpr int probeTimeoutMs = 500;
} // namespace

IndiServerHealth::IndiServerHealth(Probe probe, Clock clock)
    : probe_(std::move(probe)), clock_(std::move(clock)) {}

void IndiServerHealth::timedOut(const IndiAddress& server, const QString& reason) {
    std::lock_guard lock(mutex_);
    Record& r = records_[indiServerName(server)];
    r.unresponsive = true;
    r.reason = reason;
    r.probed = false;
    ++r.timeOuts;
}

bool IndiServerHealth::probeAfterWait(const IndiAddress& server, const QString& reason) {
    if (probe_(server.host, server.port))
        return true;
    timedOut(server, reason);
    return false;
}

bool IndiServerHealth::unresponsive(const IndiAddress& server) const {
    std::lock_guard lock(mutex_);
    const auto found = records_.find(indiServerName(server));
    return found != records_.end() && found->second.unresponsive;
}

bool IndiServerHealth::answers(const IndiAddress& server) {
    const QString name = indiServerName(server);
    {
        std::lock_guard lock(mutex_);
        Record& r = records_[name];
        if (!r.unresponsive)
            return true;
        const qint64 now = clock_();
        if (r.probed && now - r.lastProbeMs < kProbeGapMs)
            return false;
        r.probed = true;
        r.lastProbeMs = now;
    }
    // The probe runs unlocked: other servers' records stay readable meanwhile.
    const bool answered = probe_(server.host, server.port);
    std::lock_guard lock(mutex_);
    if (answered)
        records_[name].unresponsive = false;
    return answered;
}

int IndiServerHealth::timeOuts(const IndiAddress& server) const {
    std::lock_guard lock(mutex_);
    const auto found = records_.find(indiServerName(server));
    return found == records_.end() ? 0 : found->second.timeOuts;
}

QString IndiServerHealth::reason(const IndiAddress& server) const {
    std::lock_guard lock(mutex_);
    const auto found = records_.find(indiServerName(server));
    return found == records_.end() ? QString() : found->second.reason;
}

IndiServerHealth& indiServerHealth() {
    static IndiServerHealth health(
        [](const QString& host, int port) { return probeIndiServer(host, port, probeTimeoutMs); },
        [] {
            static const QElapsedTimer clock = [] {
                QElapsedTimer started;
                started.start();
                return started;
            }();
            return clock.elapsed();
        });
    return health;
}

bool probeIndiServer(const QString& host, int port, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    QTcpSocket socket;
    socket.connectToHost(host, quint16(port));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write("<getProperties version=\"1.7\"/>\n");
    const auto left = [&] { return int(std::max<qint64>(1, timeoutMs - clock.elapsed())); };
    if (!socket.waitForBytesWritten(left()))
        return false;
    return socket.bytesAvailable() > 0 || socket.waitForReadyRead(left());
}
