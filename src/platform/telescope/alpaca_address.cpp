#include "platform/telescope/alpaca_address.h"

#include <QRegularExpression>
#include <QUrl>

namespace {
const QString scheme = QStringLiteral("alpaca");

QUrl hostUrl(const QString& host, int port) {
    QUrl url;
    url.setScheme(scheme);
    url.setHost(host, QUrl::StrictMode);
    url.setPort(port);
    return url;
}
} // namespace

std::optional<AlpacaAddress> parseAlpacaIdentifier(const QString& identifier) {
    const QUrl url(identifier, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != scheme || url.host().isEmpty() ||
        !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    if (url.port() < 1 || url.port() > 65535)
        return std::nullopt;
    // At most nine digits keeps the number inside an int.
    static const QRegularExpression path(QStringLiteral("^/telescope/(0|[1-9][0-9]{0,8})$"));
    const QRegularExpressionMatch match = path.match(url.path(QUrl::FullyEncoded));
    if (!match.hasMatch())
        return std::nullopt;
    return AlpacaAddress{url.host(), url.port(), match.captured(1).toInt()};
}

QString alpacaIdentifier(const AlpacaAddress& address) {
    QUrl url = hostUrl(address.host, address.port);
    url.setPath(QStringLiteral("/telescope/%1").arg(address.deviceNumber));
    return url.toString(QUrl::FullyEncoded);
}

QString alpacaHostPort(const QString& host, int port) {
    return hostUrl(host, port).authority(QUrl::FullyEncoded);
}
