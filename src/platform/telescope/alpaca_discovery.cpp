#include "platform/telescope/alpaca_discovery.h"

#include "platform/telescope/alpaca_client.h"
#include "platform/telescope/telescope.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QUdpSocket>
#include <optional>

namespace {
const QByteArray probe = QByteArrayLiteral("alpacadiscovery1");

struct Server {
    QString host;
    int port = 0;
    bool operator==(const Server&) const = default;
};

// An answer is {"AlpacaPort": n}; anything else is not an Alpaca server's.
std::optional<Server> readAnswer(const QNetworkDatagram& datagram) {
    const QJsonValue port =
        QJsonDocument::fromJson(datagram.data()).object().value(QLatin1String("AlpacaPort"));
    const qint64 number = port.toInteger(-1);
    if (!port.isDouble() || number < 1 || number > 65535 || datagram.senderAddress().isNull())
        return std::nullopt;
    return Server{datagram.senderAddress().toString(), int(number)};
}

void sendProbes(QUdpSocket& socket, quint16 discoveryPort, const QList<QHostAddress>& targets) {
    bool sent = false;
    for (const QHostAddress& target : targets)
        sent = socket.writeDatagram(probe, target, discoveryPort) == probe.size() || sent;
    if (!sent)
        throw TelescopeError(QStringLiteral("The Alpaca discovery probe could not be sent: %1")
                                 .arg(socket.errorString())
                                 .toStdString());
}

std::vector<Server> gatherServers(QUdpSocket& socket, int timeoutMs) {
    std::vector<Server> servers;
    const QDeadlineTimer deadline(timeoutMs);
    while (!deadline.hasExpired()) {
        if (!socket.waitForReadyRead(int(deadline.remainingTime())) &&
            socket.error() != QAbstractSocket::SocketTimeoutError)
            break;
        while (socket.hasPendingDatagrams()) {
            const std::optional<Server> server = readAnswer(socket.receiveDatagram());
            if (server && std::find(servers.begin(), servers.end(), *server) == servers.end())
                servers.push_back(*server);
        }
    }
    return servers;
}

std::optional<AlpacaDevice> readTelescope(const QJsonValue& entry, const QString& host, int port) {
    const QJsonObject device = entry.toObject();
    const QJsonValue number = device.value(QLatin1String("DeviceNumber"));
    const qint64 deviceNumber = number.toInteger(-1);
    if (device.value(QLatin1String("DeviceType"))
                .toString()
                .compare(QLatin1String("Telescope"), Qt::CaseInsensitive) != 0 ||
        !number.isDouble() || deviceNumber < 0 || deviceNumber > 999999999)
        return std::nullopt;
    return AlpacaDevice{device.value(QLatin1String("DeviceName")).toString(),
                        {host, port, int(deviceNumber)}};
}
} // namespace

QList<QHostAddress> alpacaBroadcastTargets() {
    QList<QHostAddress> targets;
    for (const QNetworkInterface& interface : QNetworkInterface::allInterfaces()) {
        if (!interface.flags().testFlags(QNetworkInterface::IsUp | QNetworkInterface::IsRunning |
                                         QNetworkInterface::CanBroadcast))
            continue;
        for (const QNetworkAddressEntry& entry : interface.addressEntries()) {
            const QHostAddress broadcast = entry.broadcast();
            if (broadcast.protocol() == QAbstractSocket::IPv4Protocol &&
                !targets.contains(broadcast))
                targets.append(broadcast);
        }
    }
    targets.append(QHostAddress(QHostAddress::Broadcast));
    return targets;
}

std::vector<AlpacaDevice> discoverAlpacaTelescopes(int timeoutMs, quint16 discoveryPort,
                                                   const QList<QHostAddress>& targets) {
    QUdpSocket socket;
    if (!socket.bind(QHostAddress(QHostAddress::AnyIPv4), 0))
        throw TelescopeError(QStringLiteral("Alpaca discovery cannot open a UDP socket: %1")
                                 .arg(socket.errorString())
                                 .toStdString());
    sendProbes(socket, discoveryPort, targets);
    std::vector<AlpacaDevice> found;
    for (const Server& server : gatherServers(socket, timeoutMs)) {
        try {
            const std::vector<AlpacaDevice> telescopes =
                listAlpacaTelescopes(server.host, server.port, timeoutMs);
            found.insert(found.end(), telescopes.begin(), telescopes.end());
        } catch (const TelescopeError& error) {
            qWarning("Alpaca discovery: %s", error.what());
        }
    }
    return found;
}

std::vector<AlpacaDevice> listAlpacaTelescopes(const QString& host, int port, int timeoutMs) {
    AlpacaClient client(host, port, {timeoutMs, timeoutMs, 0});
    const QJsonValue value =
        client.getManagement(QStringLiteral("/management/v1/configureddevices"));
    if (!value.isArray())
        throw TelescopeError(QStringLiteral("The Alpaca device at %1 sent an unreadable list of "
                                            "devices")
                                 .arg(client.hostPort())
                                 .toStdString());
    std::vector<AlpacaDevice> telescopes;
    for (const QJsonValue& entry : value.toArray())
        if (const std::optional<AlpacaDevice> telescope = readTelescope(entry, host, port))
            telescopes.push_back(*telescope);
    return telescopes;
}
