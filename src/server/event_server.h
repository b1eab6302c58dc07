#pragma once

#include "server/line_input.h"
#include "server/rpc.h"

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <optional>

class QTcpServer;
class QTcpSocket;

// The protocol's TCP side on the window thread, event driven: newline-framed requests in,
// CR LF terminated responses and events out, any number of clients, every event to all.
//
// Hostile clients are bounded:
// - a line longer than maxLine is answered "too big" and skipped up to its end;
// - requests run in turns of the event loop, at most requestsPerTurn of them (every element of
//   a batch counts) and no more once turnMs have passed, taken from the clients in turn, so
//   no flood holds up a guide cycle;
// - input read but not handled is bounded per client (clientInput) and for all clients
//   together (totalInput); past that a client is not read from, and TCP makes its sender wait;
// - a client is not served while more than replyBacklog bytes of its output wait to be sent,
//   and one whose unsent output passes maxQueued bytes (one that never reads) is dropped;
// - a newcomer beyond maxClients takes the place of the client that was heard from longest ago.
class EventServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int maxLine = 16 * 1024;        // bytes
        qint64 maxQueued = 1024 * 1024; // bytes
        int maxClients = 100;
        int requestsPerTurn = 16;
        int turnMs = 5;
        qint64 clientInput = 256 * 1024;     // bytes
        qint64 totalInput = 8 * 1024 * 1024; // bytes
        qint64 socketBuffer = 64 * 1024;     // bytes Qt reads ahead for one client
        qint64 replyBacklog = 64 * 1024;     // bytes
    };
    // Answers one request with its response text, or nothing (a request without an id).
    using Handler = std::function<QByteArray(const rpc::Request& request)>;
    // The lines a new client gets first.
    using Greeting = std::function<QByteArrayList()>;

    EventServer(Handler handler, Greeting greeting, QObject* parent = nullptr);
    EventServer(Handler handler, Greeting greeting, Limits limits, QObject* parent = nullptr);
    ~EventServer() override;

    // network false: 127.0.0.1 and ::1 only (::1 when the machine has IPv6); true: every
    // interface. Port 0 takes any free port. On failure answers false with the reason.
    bool listen(quint16 port, bool network, QString* error);
    void close();
    bool isListening() const;
    quint16 port() const;
    int clientCount() const { return static_cast<int>(clients_.size()); }
    // Input read from the clients and not handled yet, bytes.
    qint64 heldInput() const;

    void broadcast(const QByteArray& line);

    // Sees every line: `in` true for a request line received, false for a line sent; `client`
    // numbers the connections from 1.
    using Trace = std::function<void(int client, bool in, const QByteArray& line)>;
    void setTrace(Trace trace) { trace_ = std::move(trace); }

signals:
    void clientCountChanged(int count);
    // A turn of requests has been answered.
    void turnEnded();

private:
    // A line being answered one request at a time.
    struct Answering {
        rpc::Line line;
        size_t next = 0;
        QByteArrayList responses;
    };
    struct Client {
        explicit Client(int maxLine) : input(maxLine) {}
        LineInput input;
        std::optional<Answering> answering;
        bool starved = false; // all input handled up to an unfinished line
        quint64 heard = 0;    // when it last sent anything, in activity_ counts
        int number = 0;
    };

    void accept(QTcpServer* server);
    void makeRoom();
    void readFrom(QTcpSocket* socket);
    void schedule();
    void serve();
    QTcpSocket* nextToServe();
    // Takes one step of a client's work; false when the step ran nothing that costs.
    bool step(QTcpSocket* socket, Client& client);
    void answerItem(QTcpSocket* socket, Client& client);
    void afterTurn();
    void send(QTcpSocket* socket, const QByteArray& line);
    void drop(QTcpSocket* socket);

    Handler handler_;
    Greeting greeting_;
    Limits limits_;
    std::vector<QTcpServer*> listeners_;
    std::map<QTcpSocket*, Client> clients_;
    QTcpSocket* lastServed_ = nullptr;
    Trace trace_;
    int connections_ = 0;
    quint64 activity_ = 0;
    bool scheduled_ = false;
    bool serving_ = false;
    bool trimDue_ = false; // much input was held: memory goes back once it is handled
};
