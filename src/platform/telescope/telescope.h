#pragma once

#include "platform/telescope/mount_report.h"

#include <QString>
#include <memory>
#include <optional>
#include <stdexcept>

// An error raised by a telescope driver or by its creation; what() is the driver's message.
class TelescopeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A network mount gave no answer: the call ran out of time or the connection failed or broke.
// The driver then holds no link: later calls fail at once (or report not connected) without
// waiting again, until setConnected(true) reaches the mount anew.
class TelescopeLinkLost : public TelescopeError {
public:
    using TelescopeError::TelescopeError;
};

enum GuideDirection : int { guideNorth = 0, guideSouth = 1, guideEast = 2, guideWest = 3 };

// "North", "South", "East" or "West".
inline const char* guideDirectionName(GuideDirection d) {
    switch (d) {
    case guideNorth:
        return "North";
    case guideSouth:
        return "South";
    case guideEast:
        return "East";
    case guideWest:
        break;
    }
    return "West";
}

// A telescope driver. Every member may throw TelescopeError; none waits longer than the
// driver's own time-outs.
class TelescopeDriver {
public:
    virtual ~TelescopeDriver() = default;

    virtual bool Connected() = 0;
    // true connects (throws when the mount cannot be reached); false disconnects.
    virtual void setConnected(bool connected) = 0;
    virtual bool CanPulseGuide() = 0;
    // Moves the mount at its guide rate; direction 0 North, 1 South, 2 East, 3 West.
    virtual void PulseGuide(int direction, double durationMs) = 0;
    // Whether the last pulse on the axis of `direction` still moves the mount: true while it
    // runs, false once it has ended, nullopt when the driver cannot tell. Throws
    // as other calls do.
    virtual std::optional<bool> pulseRunning(int direction) {
        (void)direction;
        return std::nullopt;
    }
    // The declination the mount reports, degrees (-90..90); nullopt when it cannot say. Answers
    // from what the driver already knows where it can, never waiting longer than other calls.
    virtual std::optional<double> declination() { return std::nullopt; }
    // Where the mount points (declination, hour angle, altitude, pier side), each part nullopt
    // or Unknown when the mount cannot say. Same waiting rules as declination().
    virtual MountPointing pointing() {
        MountPointing p;
        p.decDeg = declination();
        return p;
    }
    // The guide rates and guide-scope focal length the mount states; empty where it states
    // none. Same waiting rules as declination().
    virtual MountEquipment reportedEquipment() { return {}; }
    // Passes the command text on to the mount unchanged.
    virtual void CommandBlind(const QString& command) = 0;
    // Returns when the driver's own settings dialog has closed.
    virtual void SetupDialog() = 0;
    // true when SetupDialog works on the connected mount as it is, so the window leaves the
    // connection alone; otherwise (the default) the mount is disconnected before it.
    virtual bool setupDialogKeepsConnection() const { return false; }
    // true when the mount lives on a server that may go away and come back (an INDI server):
    // Connected() then never waits, and setConnected(true) reaches the same mount anew.
    virtual bool reconnectable() const { return false; }
};

// Creates telescope drivers from their identifiers ("Orvalis.Simulator", "indi://...",
// "alpaca://...").
class TelescopeFactory {
public:
    virtual ~TelescopeFactory() = default;
    // Throws TelescopeError when no driver can be created for the identifier.
    virtual std::unique_ptr<TelescopeDriver> create(const QString& identifier) = 0;
};
