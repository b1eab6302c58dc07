#pragma once

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>
#include <QTcpSocket>
#include <functional>
#include <vector>

// A protocol client on the test's own thread: waiting runs the event loop, so the server in
// the same process answers meanwhile. Every line received is kept, parsed, in order.
class ProtocolClient {
public:
    explicit ProtocolClient(quint16 port) {
        socket.connectToHost(QStringLiteral("127.0.0.1"), port);
        QObject::connect(&socket, &QTcpSocket::readyRead, [this] { read(); });
    }

    void send(const QByteArray& text) { socket.write(text); }
    // A request line with a numeric id; returns the id.
    int request(const char* method, const QByteArray& params = {}) {
        const int id = nextId++;
        QByteArray line = "{\"jsonrpc\":\"2.0\",\"method\":\"" + QByteArray(method) + "\"";
        if (!params.isEmpty())
            line += ",\"params\":" + params;
        send(line + ",\"id\":" + QByteArray::number(id) + "}\r\n");
        return id;
    }

    // Runs the event loop until `done` holds or `ms` pass; answers whether it held.
    static bool waitFor(const std::function<bool()>& done, int ms = 5000) {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > ms)
                return false;
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        return true;
    }

    // The response to `id`, waiting for it; an empty object if none came.
    QJsonObject response(int id, int ms = 5000) {
        const QJsonObject* found = nullptr;
        waitFor(
            [&] {
                for (const QJsonObject& o : lines)
                    if (!o.contains("Event") && o.value("id").toInt(-1) == id)
                        found = &o;
                return found != nullptr;
            },
            ms);
        return found ? *found : QJsonObject();
    }
    QJsonObject call(const char* method, const QByteArray& params = {}) {
        return response(request(method, params));
    }

    // Everything the server sent before now has arrived when this returns: a request the
    // server answers after it, left out of names().
    void drain() {
        const QByteArray id = "\"drain-" + QByteArray::number(nextId++) + '"';
        send("{\"method\":\"get_app_state\",\"id\":" + id + "}\n");
        waitFor([&] { return !raw.isEmpty() && raw.last().contains(id); });
    }

    // Index of the first event `name` at or after `from`, waiting for it; -1 if none.
    int event(const QString& name, size_t from = 0, int ms = 5000) {
        int at = -1;
        waitFor(
            [&] {
                for (size_t i = from; i < lines.size(); ++i)
                    if (lines[i].value("Event").toString() == name)
                        return (at = static_cast<int>(i)) >= 0;
                return false;
            },
            ms);
        return at;
    }
    // The names of the events (and "response" for responses) from `from` on.
    QStringList names(size_t from = 0) const {
        QStringList out;
        for (size_t i = from; i < lines.size(); ++i) {
            if (lines[i].value("id").toString().startsWith("drain-"))
                continue;
            out << (lines[i].contains("Event") ? lines[i].value("Event").toString()
                                               : QStringLiteral("response"));
        }
        return out;
    }

    QTcpSocket socket;
    std::vector<QJsonObject> lines;
    QByteArrayList raw; // as received, line ends included
    int nextId = 1;

private:
    void read() {
        buffer += socket.readAll();
        for (qsizetype end; (end = buffer.indexOf('\n')) >= 0;) {
            const QByteArray line = buffer.left(end + 1);
            buffer.remove(0, end + 1);
            raw << line;
            lines.push_back(QJsonDocument::fromJson(line).object());
        }
    }
    QByteArray buffer;
};
