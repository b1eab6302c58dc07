#pragma once

#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_telescope.h"

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <functional>

// A real indiserver running INDI drivers (by default the telescope simulator) on a free
// loopback port, for one test. The drivers keep their configuration in a temporary home and
// run with `environment` added to the test's. When indiserver cannot be started, problem() says
// why (the tests then fail: the package indi-bin is required).
class IndiTestServer {
public:
    explicit IndiTestServer(
        const QStringList& drivers = {QStringLiteral("indi_simulator_telescope")},
        const QProcessEnvironment& environment = {});
    ~IndiTestServer();

    bool running() const { return problem_.isEmpty(); }
    QString problem() const { return problem_; }
    int port() const { return port_; }
    // The drivers' home folder (also holds the server's log).
    QString home() const { return home_.path(); }
    // Kills the server at once, as a crash would.
    void kill();
    // Starts the server again, after kill(), on the same port with the same drivers and home;
    // false with problem() when it does not come up.
    bool restart();
    // Stops and continues the server (SIGSTOP, SIGCONT): a server that hangs, links kept open.
    void freeze();
    void thaw();

private:
    void start();

    QStringList drivers_;
    QTemporaryDir home_;
    QProcess process_;
    int port_ = 0;
    QString problem_;
};

// How long `call` took, in ms.
qint64 millisecondsOf(const std::function<void()>& call);

// A loopback port nothing listens on (just now).
int freeLoopbackPort();

inline const QString simulatorName = QStringLiteral("Telescope Simulator");
// Short enough for tests, long enough for a loaded machine.
inline const IndiTimeouts quickTimeouts{2000, 4000, 2000};

inline IndiAddress simulatorAt(int port) {
    return {QStringLiteral("localhost"), port, simulatorName};
}
