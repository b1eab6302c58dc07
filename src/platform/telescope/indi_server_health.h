#pragma once

#include "platform/telescope/indi_address.h"

#include <QString>
#include <functional>
#include <map>
#include <mutex>

// INDI servers that let a wait run out (hung or stopped, the link still open), so that calls
// to them fail at once instead of each waiting for a time-out of its own: one dead server holds
// the caller once. A server counts as answering again once a short probe gets a reply.
class IndiServerHealth {
public:
    // Whether the server answers at once; bounded by its own short time-out.
    using Probe = std::function<bool(const QString& host, int port)>;
    // Milliseconds on a steady clock.
    using Clock = std::function<qint64()>;
    // A failed probe is not repeated for this long; calls meanwhile fail without one.
    static constexpr qint64 kProbeGapMs = 2000;

    IndiServerHealth(Probe probe, Clock clock);

    // A wait on the server ran out of time; `reason` is what calls failing at once say, until
    // the server answers again.
    void timedOut(const IndiAddress& server, const QString& reason);
    // A wait on the server ran out, though the server may only be slow: probes it, and records
    // a time-out when it does not answer either. Returns whether it answered.
    bool probeAfterWait(const IndiAddress& server, const QString& reason);
    // Whether a time-out is on record since the server last answered a probe. Never waits.
    bool unresponsive(const IndiAddress& server) const;
    // true when the server may be called: no time-out on record, or a probe now gets an answer
    // (which clears the record). Waits at most for one probe.
    bool answers(const IndiAddress& server);
    // How many time-outs the server has had, answering or not since.
    int timeOuts(const IndiAddress& server) const;
    // The reason given with the last time-out; empty without one.
    QString reason(const IndiAddress& server) const;

private:
    struct Record {
        bool unresponsive = false;
        QString reason;
        int timeOuts = 0;
        qint64 lastProbeMs = 0;
        bool probed = false; // since the last time-out
    };

    Probe probe_;
    Clock clock_;
    mutable std::mutex mutex_;
    std::map<QString, Record> records_; // by "host:port"
};

// The record every INDI client of the program shares, probing with probeIndiServer.
IndiServerHealth& indiServerHealth();

// Asks the server for its properties on a link of its own and waits at most timeoutMs for the
// first byte of the answer.
bool probeIndiServer(const QString& host, int port, int timeoutMs);
