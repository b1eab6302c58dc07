#include "platform/telescope/indi_mount_list.h"

#include "platform/telescope/indi_address.h"

#include <chrono>

namespace {
// Devices count as all described when no definition has come for this long.
constexpr int quietMs = 300;

bool hasInterface(const IndiDeviceState& device, int interfaceBits) {
    const auto info = device.properties.find(QStringLiteral("DRIVER_INFO"));
    if (info == device.properties.end())
        return false;
    const IndiElement* interfaces = info->second.element(QStringLiteral("DRIVER_INTERFACE"));
    bool ok = false;
    const uint bits = interfaces ? interfaces->text.trimmed().toUInt(&ok) : 0;
    return ok && (bits & uint(interfaceBits)) != 0;
}

bool anyDriverInfo(const IndiSnapshot& s) {
    for (const auto& [name, device] : s.devices)
        if (device.properties.count(QStringLiteral("DRIVER_INFO")))
            return true;
    return false;
}
} // namespace

std::vector<QString> indiDevicesWith(const IndiSnapshot& snapshot, int interfaceBits) {
    std::vector<QString> names;
    for (const auto& [name, device] : snapshot.devices)
        if (hasInterface(device, interfaceBits))
            names.push_back(name);
    return names; // std::map keeps them sorted
}

std::vector<QString> indiMountDevices(const IndiSnapshot& snapshot) {
    return indiDevicesWith(snapshot, indiTelescopeInterface | indiGuiderInterface);
}

std::vector<QString> listIndiMountDevices(const QString& host, int port, int timeoutMs,
                                          QString* error) {
    return listIndiDevices(host, port, indiTelescopeInterface | indiGuiderInterface, timeoutMs,
                           error);
}

bool describeIndiServer(IndiClient& client, const QString& host, int port, int timeoutMs,
                        QString* error) {
    const auto start = std::chrono::steady_clock::now();
    const QString server = indiServerName({host, port, {}});
    if (!client.connectServer(host, port, {}, timeoutMs)) {
        if (error)
            *error = QStringLiteral("Cannot reach the INDI server at %1").arg(server);
        return false;
    }
    const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);
    const IndiClient::Wait result =
        client.waitForDefinitions(anyDriverInfo, quietMs, timeoutMs - int(spent.count()));
    if (error)
        *error = result == IndiClient::Wait::LinkLost
                     ? QStringLiteral("Lost the connection to the INDI server at %1").arg(server)
                     : QString();
    return true;
}

std::vector<QString> listIndiDevices(const QString& host, int port, int interfaceBits,
                                     int timeoutMs, QString* error) {
    IndiClient client;
    if (!describeIndiServer(client, host, port, timeoutMs, error))
        return {};
    std::vector<QString> names;
    client.read([&](const IndiSnapshot& s) { names = indiDevicesWith(s, interfaceBits); });
    client.disconnectServer();
    return names;
}
