#pragma once

#include "platform/telescope/indi_property.h"

#include <QString>
#include <functional>
#include <map>
#include <memory>

// What a client has heard from its server so far.
struct IndiDeviceState {
    std::map<QString, IndiVector> properties;
    QString lastMessage;
    quint64 messageRevision = 0; // the change counter when lastMessage arrived
};

struct IndiSnapshot {
    bool linkUp = false;
    std::map<QString, IndiDeviceState> devices;
    quint64 revision = 0;    // raised by every definition, update, removal and message
    quint64 definitions = 0; // raised when a device or property is defined or removed

    const IndiDeviceState* device(const QString& name) const;
    const IndiVector* property(const QString& deviceName, const QString& propertyName) const;
};

// One connection to an INDI server. libindi delivers the server's messages on a thread of its
// own; the client copies each of them into a snapshot guarded by a mutex and wakes the
// waiters. Callers use one thread (the UI thread): they read the snapshot, send new values and
// wait for a condition on the snapshot, always bounded by a time-out.
class IndiClient {
public:
    enum class Wait { Met, TimedOut, LinkLost };

    IndiClient();
    ~IndiClient();
    IndiClient(const IndiClient&) = delete;
    IndiClient& operator=(const IndiClient&) = delete;

    // Opens the link, dropping any earlier one and all it had heard. A non-empty device limits
    // what the server sends to that device. false when the server cannot be reached within
    // timeoutMs.
    bool connectServer(const QString& host, int port, const QString& device, int timeoutMs);
    // Drops the link; harmless when there is none or the server has gone.
    void disconnectServer();
    bool linkUp() const;

    // Sends the vector's element values to its device; false when the link is down.
    bool send(const IndiVector& vector);

    // Asks the server to send this client the BLOBs of the device's property, besides all
    // else (other clients are not affected); false when the link is down.
    bool enableBlobs(const QString& device, const QString& property);

    // Calls `reader` with the snapshot, under the lock: keep it short.
    void read(const std::function<void(const IndiSnapshot&)>& reader) const;
    // Waits until `condition` holds on the snapshot, the link drops (LinkLost, also when it
    // is down from the start) or timeoutMs has passed.
    Wait waitUntil(const std::function<bool(const IndiSnapshot&)>& condition, int timeoutMs) const;
    // Waits until `ready` holds and then no device or property has been defined or removed for
    // quietMs: the server has told what it has. TimedOut after timeoutMs.
    Wait waitForDefinitions(const std::function<bool(const IndiSnapshot&)>& ready, int quietMs,
                            int timeoutMs) const;

private:
    struct Shared;
    class Listener;

    std::shared_ptr<Shared> shared_;
    std::unique_ptr<Listener> listener_;
};
