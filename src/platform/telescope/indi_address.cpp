#include "platform/telescope/indi_address.h"

#include <QUrl>

namespace {
const QString scheme = QStringLiteral("indi://");

QString bracketedHost(const QString& host) {
    return host.contains(':') ? '[' + host + ']' : host;
}
} // namespace

std::optional<IndiAddress> parseIndiIdentifier(const QString& identifier) {
    if (!identifier.startsWith(scheme))
        return std::nullopt;
    const QUrl url(identifier, QUrl::StrictMode);
    if (!url.isValid() || !url.userInfo().isEmpty() || url.hasQuery() || url.hasFragment())
        return std::nullopt;
    const QString encodedPath = url.path(QUrl::FullyEncoded);
    // One path segment: a '/' inside the device name must arrive as %2F.
    if (!encodedPath.startsWith('/') || encodedPath.indexOf('/', 1) >= 0)
        return std::nullopt;
    IndiAddress address{url.host(), url.port(),
                        QUrl::fromPercentEncoding(encodedPath.mid(1).toUtf8())};
    if (address.host.isEmpty() || address.port < 1 || address.port > 65535 ||
        address.device.isEmpty())
        return std::nullopt;
    return address;
}

std::optional<IndiAddress> parseIndiServer(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.contains('/') || trimmed.contains('@'))
        return std::nullopt;
    const QUrl url(scheme + trimmed, QUrl::StrictMode);
    const int port = url.port(7624);
    if (!url.isValid() || url.host().isEmpty() || port < 1 || port > 65535)
        return std::nullopt;
    return IndiAddress{url.host(), port, {}};
}

QString indiIdentifier(const IndiAddress& address) {
    return scheme + indiServerName(address) + '/' +
           QString::fromLatin1(QUrl::toPercentEncoding(address.device));
}

QString indiServerName(const IndiAddress& address) {
    return bracketedHost(address.host) + ':' + QString::number(address.port);
}
