#pragma once

#include "platform/telescope/telescope.h"

#include <QStringList>

// Records every call as "Connected=1", "PulseGuide 0 500", "CommandBlind Mgn0500", ...
// The fail* switches make the matching member throw TelescopeError.
class FakeTelescope : public TelescopeDriver {
public:
    bool Connected() override {
        check(false, "Connected?");
        return connected;
    }
    void setConnected(bool c) override {
        check(failConnect && c, c ? "Connected=1" : "Connected=0");
        check(failDisconnect && !c, nullptr);
        connected = c;
    }
    bool CanPulseGuide() override {
        check(false, "CanPulseGuide?");
        return canPulseGuide;
    }
    void PulseGuide(int direction, double ms) override {
        check(failPulse, qPrintable(QStringLiteral("PulseGuide %1 %2").arg(direction).arg(ms)));
    }
    // Not recorded; a test holds a pulse running by setting `running`.
    std::optional<bool> pulseRunning(int) override { return running; }
    std::optional<double> declination() override { return dec; }
    MountPointing pointing() override {
        MountPointing p;
        p.decDeg = dec;
        p.hourAngleH = hourAngle;
        p.altitudeDeg = altitude;
        p.pierSide = pierSide;
        return p;
    }
    MountEquipment reportedEquipment() override { return equipment; }
    void CommandBlind(const QString& command) override {
        check(failPulse, qPrintable("CommandBlind " + command));
    }
    void SetupDialog() override {
        check(failSetup, "SetupDialog");
        connected = connected && !disconnectInSetup;
    }
    bool setupDialogKeepsConnection() const override { return keepsConnection; }
    bool reconnectable() const override { return reconnects; }

    bool connected = false;
    bool canPulseGuide = true;
    bool failConnect = false;
    bool failDisconnect = false;
    bool failPulse = false;
    bool failSetup = false;
    // pulseRunning's answer: by default every pulse is over as soon as it was taken.
    std::optional<bool> running = false;
    std::optional<double> dec; // declination()'s answer, degrees
    std::optional<double> hourAngle, altitude;
    PierSide pierSide = PierSide::Unknown;
    MountEquipment equipment;

    bool keepsConnection = false;   // the setup dialog works on the connected mount
    bool disconnectInSetup = false; // the operator disconnects it there
    bool reconnects = false;        // as a mount on an INDI server
    QStringList calls;

private:
    void check(bool fail, const char* call) {
        if (call)
            calls.append(QString::fromUtf8(call));
        if (fail)
            throw TelescopeError("The mount does not answer");
    }
};
