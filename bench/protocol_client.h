#pragma once

#include <QJsonObject>
#include <QObject>
#include <QTcpSocket>
#include <deque>
#include <optional>

// An imaging program's side of the guiding server's protocol, on the caller's event loop (the
// window's thread): requests go out as JSON lines, every line that comes back is kept until
// taken. Nothing here waits: the caller runs the event loop.
class ProtocolClient : public QObject {
    Q_OBJECT
public:
    // Starts connecting to 127.0.0.1:port.
    explicit ProtocolClient(quint16 port);

    bool connected() const;
    // Sends {"method": method, "params": params, "id": n}; returns n (from 1).
    int call(const QString& method, const QJsonValue& params);
    // The first event named `name` received and not yet taken, taken out.
    std::optional<QJsonObject> takeEvent(const QString& name);
    // The answer to request `id`, taken out, when it has come.
    std::optional<QJsonObject> takeAnswer(int id);
    // Drops every line received so far.
    void forget() { lines_.clear(); }

private:
    void read();
    std::optional<QJsonObject> take(const QString& key, const QJsonValue& value);

    QTcpSocket socket_;
    QByteArray partial_;
    std::deque<QJsonObject> lines_;
    int lastId_ = 0;
};
