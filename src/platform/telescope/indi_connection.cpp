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

IndiVector indiConnectionRequest(const QString& device, bool on) {
    IndiVector change = vectorNamed(device, "CONNECTION", IndiKind::Switch);
    change.elements = {switchElement("CONNECT", on), switchElement("DISCONNECT", !on)};
    return change;
}

std::optional<IndiSwitchOutcome> indiConnectionAnswer(const IndiSnapshot& s, const QString& device,
                                                      bool on, quint64 sentAt) {
    const IndiVector* p = s.property(device, connectionName);
    if (!p || p->revision <= sentAt)
        return std::nullopt;
    if (p->state == IndiState::Alert)
        return IndiSwitchOutcome::Refused;
    if (p->state != IndiState::Busy && p->isOn(on ? "CONNECT" : "DISCONNECT"))
        return IndiSwitchOutcome::Done;
    return std::nullopt;
}

IndiSwitchOutcome switchIndiConnection(IndiClient& client, const QString& device, bool on,
                                       int timeoutMs) {
    quint64 sentAt = 0;
    client.read([&](const IndiSnapshot& s) { sentAt = s.revision; });
    if (!client.send(indiConnectionRequest(device, on)))
        return IndiSwitchOutcome::LinkLost;
    std::optional<IndiSwitchOutcome> answer;
    const IndiClient::Wait result = client.waitUntil(
        [&](const IndiSnapshot& s) {
            answer = indiConnectionAnswer(s, device, on, sentAt);
            return answer.has_value();
        },
        timeoutMs);
    if (result == IndiClient::Wait::Met)
        return *answer;
    return result == IndiClient::Wait::LinkLost ? IndiSwitchOutcome::LinkLost
                                                : IndiSwitchOutcome::TimedOut;
}
