#include "platform/capture/indi_frame_settings.h"

std::vector<IndiVector> keptIndiNumbers(const IndiClient& client, const QString& device,
                                        const QStringList& names) {
    std::vector<IndiVector> kept;
    client.read([&](const IndiSnapshot& s) {
        for (const QString& name : names)
            if (const IndiVector* p = s.property(device, name); p && p->kind == IndiKind::Number)
                kept.push_back(*p);
    });
    return kept;
}

bool sameIndiNumbers(const IndiVector& kept, const IndiVector& now) {
    for (const IndiElement& e : kept.elements) {
        const IndiElement* other = now.element(e.name);
        if (!other || other->value != e.value)
            return false;
    }
    return true;
}

void restoreIndiNumbers(IndiClient& client, const std::vector<IndiVector>& kept, int timeoutMs) {
    for (const IndiVector& wanted : kept) {
        bool differs = false;
        quint64 sent = 0;
        client.read([&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(wanted.device, wanted.name);
            differs = p && !sameIndiNumbers(wanted, *p);
            sent = s.revision;
        });
        if (!differs || !client.send(wanted))
            continue;
        client.waitUntil(
            [&](const IndiSnapshot& s) {
                const IndiVector* p = s.property(wanted.device, wanted.name);
                return !p || (p->revision > sent && p->state != IndiState::Busy);
            },
            timeoutMs);
    }
}
