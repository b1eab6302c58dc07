#include "platform/telescope/indi_client_access.h"

#include "platform/telescope/telescope.h"

ClientDeviceAccess::ClientDeviceAccess(IndiClient& client, QString device, QString server)
    : client_(client), device_(std::move(device)), server_(std::move(server)) {}

std::vector<IndiVector> ClientDeviceAccess::properties() const {
    std::vector<IndiVector> out;
    client_.read([&](const IndiSnapshot& s) {
        if (const IndiDeviceState* d = s.device(device_))
            for (const auto& [name, vector] : d->properties)
                out.push_back(vector);
    });
    return out;
}

quint64 ClientDeviceAccess::revision() const {
    quint64 r = 0;
    client_.read([&](const IndiSnapshot& s) { r = s.revision; });
    return r;
}

QString ClientDeviceAccess::lastMessage() const {
    QString m;
    client_.read([&](const IndiSnapshot& s) {
        if (const IndiDeviceState* d = s.device(device_))
            m = d->lastMessage;
    });
    return m;
}

void ClientDeviceAccess::send(const IndiVector& changed) {
    if (!client_.send(changed))
        throw TelescopeError(QStringLiteral("Lost the connection to the INDI server at %1")
                                 .arg(server_)
                                 .toStdString());
}
