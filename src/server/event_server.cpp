#include "server/event_server.h"

#include "server/rpc.h"

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

EventServer::EventServer(Handler handler, Greeting greeting, QObject* parent)
    : EventServer(std::move(handler), std::move(greeting), Limits{}, parent) {}

EventServer::EventServer(Handler handler, Greeting greeting, Limits limits, QObject* parent)
    : QObject(parent), handler_(std::move(handler)), greeting_(std::move(greeting)),
      limits_(limits) {}

EventServer::~EventServer() {
    close();
}

bool EventServer::listen(quint16 port, bool network, QString* error) {
    close();
    const QList<QHostAddress> addresses =
        network ? QList<QHostAddress>{QHostAddress(QHostAddress::Any)}
                : QList<QHostAddress>{QHostAddress(QHostAddress::LocalHost),
                                      QHostAddress(QHostAddress::LocalHostIPv6)};
    for (const QHostAddress& address : addresses) {
        auto* server = new QTcpServer(this);
        // The IPv6 loopback shares the port the first listener got.
        const quint16 wanted = listeners_.empty() ? port : listeners_.front()->serverPort();
        if (!server->listen(address, wanted)) {
            const bool optional = !listeners_.empty();
            if (!optional && error)
                *error = server->errorString();
            delete server;
            if (optional)
                continue;
            return false;
        }
        connect(server, &QTcpServer::newConnection, this, [this, server] { accept(server); });
        listeners_.push_back(server);
    }
    return true;
}

// Clients first: their sockets are children of the listeners. What was answered goes out
// first (the answer to a shutdown request, say), as far as the system takes it at once.
void EventServer::close() {
    while (!clients_.empty()) {
        QTcpSocket* socket = clients_.begin()->first;
        socket->flush();
        drop(socket);
    }
    for (QTcpServer* server : listeners_)
        delete server;
    listeners_.clear();
}

bool EventServer::isListening() const {
    return !listeners_.empty();
}

quint16 EventServer::port() const {
    return listeners_.empty() ? 0 : listeners_.front()->serverPort();
}

void EventServer::accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        if (clientCount() >= limits_.maxClients) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        Client client;
        client.number = ++connections_;
        clients_.emplace(socket, std::move(client));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        emit clientCountChanged(clientCount());
        for (const QByteArray& line : greeting_())
            send(socket, line);
    }
}

void EventServer::readFrom(QTcpSocket* socket) {
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    if (!take(it->second, socket->readAll())) {
        drop(socket);
        return;
    }
    if (!it->second.scheduled)
        handleLines(socket);
}

bool EventServer::take(Client& client, const QByteArray& data) {
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype end = data.indexOf('\n', from);
        const qsizetype stop = end < 0 ? data.size() : end;
        if (!client.skipping)
            client.partial += data.mid(from, stop - from);
        if (!client.skipping && client.partial.size() > limits_.maxLine) {
            client.partial.clear();
            client.skipping = true;
            client.lines.push_back(std::nullopt);
        }
        if (end < 0)
            break;
        if (!client.skipping)
            client.lines.push_back(std::exchange(client.partial, {}));
        client.skipping = false;
        from = end + 1;
    }
    return client.lines.size() <= static_cast<size_t>(limits_.maxPendingLines);
}

void EventServer::handleLines(QTcpSocket* socket) {
    QPointer<QTcpSocket> guard(socket);
    for (int n = 0; n < limits_.linesPerTurn; ++n) {
        const auto it = clients_.find(socket);
        if (!guard || it == clients_.end())
            return;
        Client& client = it->second;
        client.scheduled = false;
        if (client.lines.empty())
            return;
        const std::optional<QByteArray> line = std::move(client.lines.front());
        client.lines.pop_front();
        if (!line) {
            send(socket, rpc::errorResponse(QJsonValue::Null, rpc::InternalError, "too big"));
            continue;
        }
        const QByteArray text = line->endsWith('\r') ? line->chopped(1) : *line;
        if (trace_)
            trace_(client.number, true, text);
        if (text.trimmed().isEmpty())
            continue;
        // The handler may drop this client (a broadcast it causes can overflow its queue).
        if (const QByteArray reply = handler_(text); !reply.isEmpty() && guard)
            send(socket, reply);
    }
    const auto it = clients_.find(socket);
    if (guard && it != clients_.end() && !it->second.lines.empty()) {
        it->second.scheduled = true;
        QTimer::singleShot(0, this, [this, guard] {
            if (guard)
                handleLines(guard);
        });
    }
}

void EventServer::send(QTcpSocket* socket, const QByteArray& line) {
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    if (trace_)
        trace_(it->second.number, false, line);
    if (socket->bytesToWrite() + line.size() + 2 > limits_.maxQueued) {
        drop(socket);
        return;
    }
    socket->write(line + "\r\n");
}

void EventServer::broadcast(const QByteArray& line) {
    std::vector<QTcpSocket*> sockets;
    for (const auto& [socket, client] : clients_)
        sockets.push_back(socket);
    for (QTcpSocket* socket : sockets)
        send(socket, line);
}

void EventServer::drop(QTcpSocket* socket) {
    if (!clients_.erase(socket))
        return;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    emit clientCountChanged(clientCount());
}
