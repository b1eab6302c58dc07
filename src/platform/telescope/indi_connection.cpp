#include "platform/telescope/indi_connection.h"

namespace {
const QString connectionName = QStringLiteral("CONNECTION");
} // namespace

bool indiConnectionOn(const IndiClient& client, const QString& device) {
    bool on = false;
    client.read([&](const IndiSnapshot& s) {
        const IndiVector* p = s.property(device, connectionName);
        on = p && p->isOn(QStringLiteral("CONNECT"));
    });
    return on;
}

IndiSwitchOutcome switchIndiConnection(IndiClient& client, const QString& device, bool on,
                                       int timeoutMs) {
    IndiVector change = vectorNamed(device, "CONNECTION", IndiKind::Switch);
    change.elements = {switchElement("CONNECT", on), switchElement("DISCONNECT", !on)};
    quint64 sent = 0;
    client.read([&](const IndiSnapshot& s) { sent = s.revision; });
    if (!client.send(change))
        return IndiSwitchOutcome::LinkLost;
    bool alert = false;
    const IndiClient::Wait result = client.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(device, connectionName);
            if (!p || p->revision <= sent)
                return false;
            alert = p->state == IndiState::Alert;
            return alert || (p->state != IndiState::Busy && p->isOn(on ? "CONNECT" : "DISCONNECT"));
        },
        timeoutMs);
    switch (result) {
    case IndiClient::Wait::Met:
        return alert ? IndiSwitchOutcome::Refused : IndiSwitchOutcome::Done;
    case IndiClient::Wait::LinkLost:
        return IndiSwitchOutcome::LinkLost;
    default:
        return IndiSwitchOutcome::TimedOut;
    }
}
