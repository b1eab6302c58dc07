#include "protocol_client.h"

#include <QJsonDocument>

ProtocolClient::ProtocolClient(quint16 port) {
    connect(&socket_, &QTcpSocket::readyRead, this, &ProtocolClient::read);
    socket_.connectToHost(QHostAddress::LocalHost, port);
}

bool ProtocolClient::connected() const {
    return socket_.state() == QAbstractSocket::ConnectedState;
}

int ProtocolClient::call(const QString& method, const QJsonValue& params) {
    const QJsonObject request{{"method", method}, {"params", params}, {"id", ++lastId_}};
    socket_.write(QJsonDocument(request).toJson(QJsonDocument::Compact) + "\r\n");
    return lastId_;
}

void ProtocolClient::read() {
    partial_ += socket_.readAll();
    for (qsizetype end = partial_.indexOf('\n'); end >= 0; end = partial_.indexOf('\n')) {
        const QJsonDocument line = QJsonDocument::fromJson(partial_.left(end).trimmed());
        partial_.remove(0, end + 1);
        if (line.isObject())
            lines_.push_back(line.object());
    }
}

std::optional<QJsonObject> ProtocolClient::take(const QString& key, const QJsonValue& value) {
    for (auto it = lines_.begin(); it != lines_.end(); ++it)
        if (it->value(key) == value) {
            const QJsonObject found = *it;
            lines_.erase(it);
            return found;
        }
    return std::nullopt;
}

std::optional<QJsonObject> ProtocolClient::takeEvent(const QString& name) {
    return take(QStringLiteral("Event"), name);
}

std::optional<QJsonObject> ProtocolClient::takeAnswer(int id) {
    return take(QStringLiteral("id"), id);
}
