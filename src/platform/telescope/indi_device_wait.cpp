#include "platform/telescope/indi_device_wait.h"

#include <algorithm>
#include <chrono>

namespace {
using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point t) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(t - Clock::now());
    return int(std::max<long long>(0, left.count()));
}
} // namespace

IndiDeviceWait waitForIndiDevice(const IndiClient& client, const IndiAddress& address,
                                 int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const QString connection = QStringLiteral("CONNECTION");
    const auto found = [&](const IndiSnapshot& s) {
        return s.property(address.device, connection) != nullptr;
    };
    IndiClient::Wait result = client.waitUntil(found, timeoutMs / 2);
    if (result == IndiClient::Wait::TimedOut) {
        IndiClient probe;
        const bool probing =
            probe.connectServer(address.host, address.port, {}, millisecondsUntil(deadline));
        result = client.waitUntil(found, millisecondsUntil(deadline));
        if (result == IndiClient::Wait::TimedOut) {
            bool deviceSeen = false, answered = false;
            client.read([&](const IndiSnapshot& s) { deviceSeen = s.device(address.device); });
            if (probing)
                probe.read([&](const IndiSnapshot& s) { answered = !s.devices.empty(); });
            return deviceSeen ? IndiDeviceWait::NoSwitch
                              : (answered ? IndiDeviceWait::NoDevice : IndiDeviceWait::Silent);
        }
    }
    return result == IndiClient::Wait::Met ? IndiDeviceWait::Found : IndiDeviceWait::LinkLost;
}

QString indiSilentServerMessage(const QString& server) {
    return QStringLiteral("The INDI server at %1 took the connection but did not answer (hung, "
                          "or running no driver)")
        .arg(server);
}

QString indiLateServerMessage(const QString& server) {
    return QStringLiteral("The INDI server at %1 did not answer in time").arg(server);
}
