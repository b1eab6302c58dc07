#pragma once

#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_client.h"
#include "platform/telescope/indi_device_access.h"
#include "platform/telescope/telescope.h"

struct IndiTimeouts {
    int connectMs = 5000;    // reaching the server, and the device showing up on it
    int callMs = 10000;      // the server's answer to a request
    int pulseExtraMs = 5000; // added to a pulse's duration while waiting for its answer
};

// A mount on an INDI server, as a telescope driver. Every member runs on the caller's thread
// and blocks it until the server has answered or a time-out has run out (TelescopeLinkLost "...
// did not answer in time", which also drops the link). A lost server link fails the next call at
// once. A server that let any of the program's waits run out (see indi_server_health.h) makes
// the mount not connected and its calls fail at once, until the server answers a probe again.
// The device may be shared with other clients: its CONNECTION is switched off only when this
// driver switched it on.
class IndiTelescope : public TelescopeDriver {
public:
    explicit IndiTelescope(IndiAddress address, IndiTimeouts timeouts = {});
    // Drops the server link; leaves the device as it is.
    ~IndiTelescope() override;

    // SetupDialog hands the device to `runner`; without one SetupDialog throws.
    void setSetupDialog(IndiSetupDialogRunner runner);

    bool Connected() override;
    // true: connects to the server and switches the device's CONNECTION on when it is off.
    // false: switches it off if this driver switched it on, and drops the link; never throws.
    void setConnected(bool connected) override;
    // Connected, with both timed guide properties.
    bool CanPulseGuide() override;
    // Returns once the server has taken the pulse on (Busy or Ok), not when it has ended.
    void PulseGuide(int direction, double durationMs) override;
    // The axis's timed-guide property is Busy; read from what the server last sent, without a
    // request. nullopt without a link or the property.
    std::optional<bool> pulseRunning(int direction) override;
    // EQUATORIAL_EOD_COORD's DEC as the server last published it; no request is sent.
    std::optional<double> declination() override;
    // From what the server last published (see indi_mount_report.h); no request is sent.
    MountPointing pointing() override;
    MountEquipment reportedEquipment() override;
    // Always throws: INDI mounts take no hand-box commands.
    void CommandBlind(const QString& command) override;
    // Connects to the server only for the dialog when the driver is not connected.
    void SetupDialog() override;
    // The dialog shows and changes the device's properties live, connected or not.
    bool setupDialogKeepsConnection() const override { return true; }
    bool reconnectable() const override { return true; }

private:
    void connectDevice();
    void disconnectDevice();
    void openLink();
    void switchConnection(bool on);
    void requireConnected();
    quint64 sendOrThrow(const IndiVector& vector);
    const IndiVector* property(const IndiSnapshot& s, const char* name) const;
    bool connectionOn() const;
    QString messageSince(quint64 revision) const;
    void throwUnlessMet(IndiClient::Wait result);
    QString server() const;
    [[noreturn]] void fail(const QString& message) const;
    [[noreturn]] void failLost(const QString& message) const;

    IndiAddress address_;
    IndiTimeouts timeouts_;
    IndiClient client_;
    IndiSetupDialogRunner setupDialog_;
    bool open_ = false;       // between a successful setConnected(true) and setConnected(false)
    bool switchedOn_ = false; // this driver switched CONNECTION on and has not switched it off
};

// The new value of TELESCOPE_TIMED_GUIDE_NS (North, South) or TELESCOPE_TIMED_GUIDE_WE (East,
// West) for a pulse: the direction's element gets the duration in ms, the other element of the
// pair 0. Throws TelescopeError for a direction outside 0..3.
IndiVector indiGuidePulse(const QString& device, int direction, double durationMs);
