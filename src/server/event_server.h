#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>

class QTcpServer;
class QTcpSocket;

// The protocol's TCP side on the window thread, event driven: newline-framed requests in,
// CR LF terminated responses and events out, any number of clients, every event to all.
// Hostile clients are bounded: a line longer than maxLine is answered "too big" and skipped
// up to its end; a client whose unsent output passes maxQueued bytes (one that never reads)
// is dropped; at most linesPerTurn lines of one client are handled before the event loop runs
// again, so a burst of requests cannot hold up a guide cycle.
class EventServer : public QObject {
    Q_OBJECT
public:
    struct Limits {
        int maxLine = 16 * 1024;        // bytes
        qint64 maxQueued = 1024 * 1024; // bytes
        int maxClients = 100;
        int linesPerTurn = 16;
        int maxPendingLines = 10000; // a client further behind is dropped
    };
    // Answers one request line (without its line end) with the response text, or nothing.
    using Handler = std::function<QByteArray(const QByteArray& line)>;
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

    void broadcast(const QByteArray& line);

    // Sees every line: `in` true for a request line received, false for a line sent; `client`
    // numbers the connections from 1.
    using Trace = std::function<void(int client, bool in, const QByteArray& line)>;
    void setTrace(Trace trace) { trace_ = std::move(trace); }

signals:
    void clientCountChanged(int count);

private:
    struct Client {
        // Complete lines not handled yet; an empty optional stands for a line too long.
        std::deque<std::optional<QByteArray>> lines;
        QByteArray partial;     // the unfinished line
        bool skipping = false;  // inside a line that was too long
        bool scheduled = false; // more lines wait for the next turn
        int number = 0;
    };

    void accept(QTcpServer* server);
    void readFrom(QTcpSocket* socket);
    void handleLines(QTcpSocket* socket);
    // Splits input into lines; false when the client is too far behind.
    bool take(Client& client, const QByteArray& data);
    void send(QTcpSocket* socket, const QByteArray& line);
    void drop(QTcpSocket* socket);

    Handler handler_;
    Greeting greeting_;
    Limits limits_;
    std::vector<QTcpServer*> listeners_;
    std::map<QTcpSocket*, Client> clients_;
    Trace trace_;
    int connections_ = 0;
};
