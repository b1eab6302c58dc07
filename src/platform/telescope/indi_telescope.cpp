#include "platform/telescope/indi_telescope.h"

#include "platform/telescope/indi_client_access.h"
#include "platform/telescope/indi_device_wait.h"
#include "platform/telescope/indi_mount_report.h"
#include "platform/telescope/indi_server_health.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace {
const char* const connection = "CONNECTION";
const char* const guideNS = "TELESCOPE_TIMED_GUIDE_NS";
const char* const guideWE = "TELESCOPE_TIMED_GUIDE_WE";
// After CONNECTION turns on, a driver defines the properties of the connected device; they
// count as complete when none has come for this long.
constexpr int settleQuietMs = 200;
// An Alert's explanation may follow the Alert itself by a moment.
constexpr int messageGraceMs = 200;

QString lostMessage(const QString& server) {
    return QStringLiteral("Lost the connection to the INDI server at %1").arg(server);
}
} // namespace

IndiVector indiGuidePulse(const QString& device, int direction, double durationMs) {
    if (direction < guideNorth || direction > guideWest)
        throw TelescopeError(QStringLiteral("Invalid guide direction %1 (0 North, 1 South, 2 East, "
                                            "3 West)")
                                 .arg(direction)
                                 .toStdString());
    const bool northSouth = direction == guideNorth || direction == guideSouth;
    const bool first = direction == guideNorth || direction == guideEast;
    IndiVector pulse = vectorNamed(device, northSouth ? guideNS : guideWE, IndiKind::Number);
    pulse.elements = {
        numberElement(northSouth ? "TIMED_GUIDE_N" : "TIMED_GUIDE_E", first ? durationMs : 0),
        numberElement(northSouth ? "TIMED_GUIDE_S" : "TIMED_GUIDE_W", first ? 0 : durationMs)};
    return pulse;
}

IndiTelescope::IndiTelescope(IndiAddress address, IndiTimeouts timeouts)
    : address_(std::move(address)), timeouts_(timeouts) {}

IndiTelescope::~IndiTelescope() = default;

void IndiTelescope::setSetupDialog(IndiSetupDialogRunner runner) {
    setupDialog_ = std::move(runner);
}

bool IndiTelescope::Connected() {
    return open_ && client_.linkUp() && connectionOn() &&
           !indiServerHealth().unresponsive(address_);
}

void IndiTelescope::setConnected(bool connected) {
    if (!connected) {
        disconnectDevice();
        return;
    }
    if (indiServerHealth().answers(address_) && Connected())
        return;
    try {
        if (!indiServerHealth().answers(address_))
            failLost(indiServerHealth().reason(address_));
        connectDevice();
        open_ = true;
    } catch (const TelescopeError&) {
        open_ = false;
        client_.disconnectServer();
        throw;
    }
}

void IndiTelescope::connectDevice() {
    openLink();
    if (!connectionOn()) {
        switchConnection(true);
        switchedOn_ = true;
    }
    const IndiClient::Wait settled = client_.waitForDefinitions(
        [](const IndiSnapshot&) { return true; }, settleQuietMs, timeouts_.callMs);
    if (settled == IndiClient::Wait::LinkLost)
        throwUnlessMet(settled);
}

void IndiTelescope::disconnectDevice() {
    open_ = false;
    if (switchedOn_ && client_.linkUp() && connectionOn() &&
        !indiServerHealth().unresponsive(address_)) {
        try {
            switchConnection(false);
            switchedOn_ = false;
        } catch (const TelescopeError&) {
            // The link is dropped below either way.
        }
    }
    client_.disconnectServer();
}

void IndiTelescope::openLink() {
    if (!client_.connectServer(address_.host, address_.port, address_.device, timeouts_.connectMs))
        fail(QStringLiteral("Cannot reach the INDI server at %1").arg(server()));
    switch (waitForIndiDevice(client_, address_, timeouts_.connectMs)) {
    case IndiDeviceWait::Found:
        return;
    case IndiDeviceWait::LinkLost:
        failLost(lostMessage(server()));
    case IndiDeviceWait::Silent:
        indiServerHealth().timedOut(address_, indiSilentServerMessage(server()));
        failLost(indiSilentServerMessage(server()));
    case IndiDeviceWait::NoSwitch:
        fail(QStringLiteral("The device \"%2\" on the INDI server at %1 has no CONNECTION switch")
                 .arg(server(), address_.device));
    case IndiDeviceWait::NoDevice:
        break;
    }
    fail(QStringLiteral("The INDI server at %1 has no device \"%2\"")
             .arg(server(), address_.device));
}

// Sends CONNECT (on) or DISCONNECT and waits for the device's answer.
void IndiTelescope::switchConnection(bool on) {
    IndiVector change = vectorNamed(address_.device, connection, IndiKind::Switch);
    change.elements = {switchElement("CONNECT", on), switchElement("DISCONNECT", !on)};
    const quint64 sent = sendOrThrow(change);
    IndiVector answer;
    const IndiClient::Wait result = client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = property(s, connection);
            if (!p || p->revision <= sent)
                return false;
            answer = *p;
            return p->state == IndiState::Alert ||
                   (p->state != IndiState::Busy && p->isOn(on ? "CONNECT" : "DISCONNECT"));
        },
        timeouts_.callMs);
    throwUnlessMet(result);
    if (answer.state == IndiState::Alert) {
        const QString why = messageSince(sent);
        fail(QStringLiteral("\"%1\" could not %2: %3")
                 .arg(address_.device,
                      on ? QStringLiteral("connect") : QStringLiteral("disconnect"),
                      why.isEmpty() ? QStringLiteral("the driver gave no reason") : why));
    }
}

bool IndiTelescope::CanPulseGuide() {
    if (!Connected())
        return false;
    bool both = false;
    client_.read(
        [&](const IndiSnapshot& s) { both = property(s, guideNS) && property(s, guideWE); });
    return both;
}

void IndiTelescope::PulseGuide(int direction, double durationMs) {
    const IndiVector pulse = indiGuidePulse(address_.device, direction, durationMs);
    requireConnected();
    if (!(durationMs > 0))
        return;
    bool known = false;
    client_.read(
        [&](const IndiSnapshot& s) { known = s.property(address_.device, pulse.name) != nullptr; });
    if (!known)
        fail(QStringLiteral("The mount \"%1\" cannot pulse-guide").arg(address_.device));
    const quint64 sent = sendOrThrow(pulse);
    const double limit = std::min(durationMs + timeouts_.pulseExtraMs, double(INT_MAX));
    IndiState answer = IndiState::Idle;
    throwUnlessMet(client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(address_.device, pulse.name);
            // An Idle update after the send is the end of an earlier pulse, unless the
            // property went Busy after the send: then this pulse ran (a short one may have
            // ended before this wait looked).
            if (!p || p->revision <= sent || (p->state == IndiState::Idle && p->lastBusy <= sent))
                return false;
            answer = p->state;
            return true;
        },
        int(std::ceil(limit))));
    if (answer == IndiState::Alert) {
        const QString why = messageSince(sent);
        fail(QStringLiteral("\"%1\" refused the guide pulse%2")
                 .arg(address_.device, why.isEmpty() ? QString() : ": " + why));
    }
}

std::optional<bool> IndiTelescope::pulseRunning(int direction) {
    if (!open_ || !client_.linkUp())
        return std::nullopt;
    const QString name =
        QString::fromLatin1(direction == guideNorth || direction == guideSouth ? guideNS : guideWE);
    std::optional<bool> busy;
    client_.read([&](const IndiSnapshot& s) {
        if (const IndiVector* p = s.property(address_.device, name))
            busy = p->state == IndiState::Busy;
    });
    return busy;
}

std::optional<double> IndiTelescope::declination() {
    return pointing().decDeg;
}

MountPointing IndiTelescope::pointing() {
    MountPointing p;
    if (!open_ || !client_.linkUp())
        return p;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    client_.read([&](const IndiSnapshot& s) { p = indiMountPointing(s, address_.device, now); });
    return p;
}

MountEquipment IndiTelescope::reportedEquipment() {
    MountEquipment e;
    if (!open_ || !client_.linkUp())
        return e;
    client_.read([&](const IndiSnapshot& s) { e = indiMountEquipment(s, address_.device); });
    return e;
}

void IndiTelescope::CommandBlind(const QString&) {
    fail(QStringLiteral("Autostar commands are not available through INDI"));
}

void IndiTelescope::SetupDialog() {
    if (!setupDialog_)
        fail(QStringLiteral("No settings dialog is available for INDI mounts"));
    const bool temporary = !(open_ && client_.linkUp());
    if (temporary) {
        try {
            openLink();
        } catch (const TelescopeError&) {
            client_.disconnectServer();
            throw;
        }
    }
    struct DropTemporaryLink {
        IndiClient& client;
        bool temporary;
        ~DropTemporaryLink() {
            if (temporary)
                client.disconnectServer();
        }
    } drop{client_, temporary};
    ClientDeviceAccess access(client_, address_.device, server());
    setupDialog_(access);
}

void IndiTelescope::requireConnected() {
    if (open_ && !client_.linkUp())
        failLost(lostMessage(server()));
    if (open_ && indiServerHealth().unresponsive(address_)) {
        client_.disconnectServer();
        failLost(indiServerHealth().reason(address_));
    }
    if (!open_ || !connectionOn())
        fail(QStringLiteral("The mount \"%1\" is not connected").arg(address_.device));
}

// Returns the client's change counter from just before the send: whatever carries a higher
// one arrived after it.
quint64 IndiTelescope::sendOrThrow(const IndiVector& vector) {
    quint64 before = 0;
    client_.read([&](const IndiSnapshot& s) { before = s.revision; });
    if (!client_.send(vector))
        failLost(lostMessage(server()));
    return before;
}

const IndiVector* IndiTelescope::property(const IndiSnapshot& s, const char* name) const {
    return s.property(address_.device, QString::fromLatin1(name));
}

bool IndiTelescope::connectionOn() const {
    bool on = false;
    client_.read([&](const IndiSnapshot& s) {
        const IndiVector* p = property(s, connection);
        on = p && p->isOn(QStringLiteral("CONNECT"));
    });
    return on;
}

// The driver's message if one came after `revision`, waiting a moment for it.
QString IndiTelescope::messageSince(quint64 revision) const {
    QString message;
    client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiDeviceState* d = s.device(address_.device);
            if (!d || d->messageRevision <= revision)
                return false;
            message = d->lastMessage;
            return true;
        },
        messageGraceMs);
    return message;
}

// A server that let a wait run out counts as gone: its link is dropped, so that the next call
// fails at once instead of waiting again.
void IndiTelescope::throwUnlessMet(IndiClient::Wait result) {
    if (result == IndiClient::Wait::LinkLost)
        failLost(lostMessage(server()));
    if (result == IndiClient::Wait::TimedOut) {
        indiServerHealth().timedOut(address_, indiLateServerMessage(server()));
        client_.disconnectServer();
        failLost(indiLateServerMessage(server()));
    }
}

QString IndiTelescope::server() const {
    return indiServerName(address_);
}

void IndiTelescope::fail(const QString& message) const {
    throw TelescopeError(message.toStdString());
}

void IndiTelescope::failLost(const QString& message) const {
    throw TelescopeLinkLost(message.toStdString());
}
