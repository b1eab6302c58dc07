#include "server/event_server.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <utility>
#ifdef __GLIBC__
#include <malloc.h>
#endif

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

qint64 EventServer::heldInput() const {
    qint64 held = 0;
    for (const auto& [socket, client] : clients_)
        held += client.input.held();
    return held;
}

void EventServer::accept(QTcpServer* server) {
    while (QTcpSocket* socket = server->nextPendingConnection()) {
        if (clientCount() >= limits_.maxClients)
            makeRoom();
        // What waits unread stays with the sender, not in this machine's buffers.
        socket->setReadBufferSize(limits_.socketBuffer);
        socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                                static_cast<int>(limits_.socketBuffer));
        Client client(limits_.maxLine);
        client.number = ++connections_;
        client.heard = ++activity_;
        clients_.emplace(socket, std::move(client));
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readFrom(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] { drop(socket); });
        // A client held back by its unsent output goes on once it has read some.
        connect(socket, &QTcpSocket::bytesWritten, this, [this, socket] {
            const auto it = clients_.find(socket);
            if (it != clients_.end() && (it->second.answering || !it->second.starved))
                schedule();
        });
        emit clientCountChanged(clientCount());
        for (const QByteArray& line : greeting_())
            send(socket, line);
    }
}

// Idle connections must not lock an imaging program out.
void EventServer::makeRoom() {
    const auto quietest =
        std::min_element(clients_.begin(), clients_.end(), [](const auto& a, const auto& b) {
            return a.second.heard < b.second.heard;
        });
    if (quietest != clients_.end())
        drop(quietest->first);
}

void EventServer::readFrom(QTcpSocket* socket) {
    const auto it = clients_.find(socket);
    if (it == clients_.end())
        return;
    Client& client = it->second;
    client.heard = ++activity_;
    const qint64 room =
        std::min(limits_.clientInput - client.input.held(), limits_.totalInput - heldInput());
    if (room <= 0 || socket->bytesAvailable() <= 0)
        return;
    client.input.append(socket->read(room));
    client.starved = false;
    if (heldInput() > limits_.totalInput / 8)
        trimDue_ = true;
    schedule();
}

void EventServer::schedule() {
    if (scheduled_)
        return;
    scheduled_ = true;
    QTimer::singleShot(0, this, [this] { serve(); });
}

void EventServer::serve() {
    scheduled_ = false;
    // A request that runs the event loop itself must not start a turn inside this one.
    if (serving_) {
        schedule();
        return;
    }
    const QScopedValueRollback<bool> serving(serving_, true);
    QElapsedTimer turn;
    turn.start();
    int budget = limits_.requestsPerTurn;
    while (budget > 0 && turn.elapsed() < limits_.turnMs) {
        QTcpSocket* socket = nextToServe();
        if (!socket)
            break;
        lastServed_ = socket;
        if (step(socket, clients_.at(socket)))
            --budget;
    }
    afterTurn();
    emit turnEnded();
}

// The clients in turn, from the one after the last served; none when nobody has work that
// may run now.
QTcpSocket* EventServer::nextToServe() {
    const auto ready = [this](const std::pair<QTcpSocket* const, Client>& entry) {
        const Client& c = entry.second;
        return (c.answering || !c.starved) && entry.first->bytesToWrite() <= limits_.replyBacklog;
    };
    const auto from = clients_.upper_bound(lastServed_);
    auto it = std::find_if(from, clients_.end(), ready);
    if (it == clients_.end()) {
        it = std::find_if(clients_.begin(), from, ready);
        if (it == from)
            return nullptr;
    }
    return it->first;
}

bool EventServer::step(QTcpSocket* socket, Client& client) {
    if (client.answering) {
        answerItem(socket, client);
        return true;
    }
    LineInput::Next next = client.input.next();
    if (next.kind == LineInput::Kind::None) {
        client.starved = true;
        return false;
    }
    if (next.kind == LineInput::Kind::TooLong) {
        send(socket, rpc::errorResponse(QJsonValue::Null, rpc::InternalError, "too big"));
        return true;
    }
    if (trace_)
        trace_(client.number, true, next.line);
    if (next.line.trimmed().isEmpty())
        return false;
    client.answering = Answering{rpc::parseLine(next.line), 0, {}};
    answerItem(socket, client);
    return true;
}

// One element of the line being answered; the whole line's answer goes out after the last.
void EventServer::answerItem(QTcpSocket* socket, Client& client) {
    Answering& answering = *client.answering;
    const rpc::Item item = answering.line.items[answering.next++];
    QByteArray response = item.errorResponse;
    if (item.request) {
        response = handler_(*item.request);
        // The handler may drop this client (a broadcast it causes can overflow its queue).
        if (!clients_.count(socket))
            return;
    }
    if (!response.isEmpty())
        answering.responses.append(response);
    if (answering.next < answering.line.items.size())
        return;
    const QByteArray text = rpc::lineResponse(answering.line, answering.responses);
    client.answering.reset();
    if (!text.isEmpty())
        send(socket, text);
}

void EventServer::afterTurn() {
    // Input the sockets kept while there was no room for it.
    std::vector<QTcpSocket*> waiting;
    for (const auto& [socket, client] : clients_)
        if (socket->bytesAvailable() > 0)
            waiting.push_back(socket);
    for (QTcpSocket* socket : waiting)
        readFrom(socket);
    if (nextToServe())
        schedule();
#ifdef __GLIBC__
    if (trimDue_ && heldInput() <= limits_.socketBuffer) {
        trimDue_ = false;
        malloc_trim(0);
    }
#endif
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
