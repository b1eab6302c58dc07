#include "indi_test_server.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <csignal>

int freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

qint64 millisecondsOf(const std::function<void()>& call) {
    QElapsedTimer clock;
    clock.start();
    call();
    return clock.elapsed();
}

namespace {
bool acceptsConnections(int port, int withinMs) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < withinMs) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, quint16(port));
        if (socket.waitForConnected(200))
            return true;
        QThread::msleep(50);
    }
    return false;
}
} // namespace

IndiTestServer::IndiTestServer(const QStringList& drivers, const QProcessEnvironment& environment)
    : drivers_(drivers), port_(freeLoopbackPort()) {
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    all.insert(environment);
    all.insert(QStringLiteral("HOME"), home_.path());
    process_.setProcessEnvironment(all);
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.setStandardOutputFile(home_.filePath(QStringLiteral("indiserver.log")),
                                   QIODevice::Append);
    start();
}

bool IndiTestServer::restart() {
    problem_.clear();
    start();
    return running();
}

void IndiTestServer::start() {
    // -u: the server's local socket, one per server so that tests may run side by side.
    const QString socket = home_.filePath(QStringLiteral("indiserver.sock"));
    QFile::remove(socket); // left behind by a killed server
    process_.start(
        QStringLiteral("indiserver"),
        QStringList{QStringLiteral("-p"), QString::number(port_), QStringLiteral("-u"), socket} +
            drivers_);
    if (!process_.waitForStarted(5000))
        problem_ = QStringLiteral("Cannot start indiserver (package indi-bin): %1")
                       .arg(process_.errorString());
    else if (!acceptsConnections(port_, 5000))
        problem_ = QStringLiteral("indiserver did not open port %1").arg(port_);
}

IndiTestServer::~IndiTestServer() {
    kill();
}

void IndiTestServer::kill() {
    if (process_.state() == QProcess::NotRunning)
        return;
    thaw();
    process_.kill();
    process_.waitForFinished(5000);
}

void IndiTestServer::freeze() {
    if (process_.state() != QProcess::NotRunning)
        ::kill(pid_t(process_.processId()), SIGSTOP);
}

void IndiTestServer::thaw() {
    if (process_.state() != QProcess::NotRunning)
        ::kill(pid_t(process_.processId()), SIGCONT);
}
