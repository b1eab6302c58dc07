#pragma once

#include "fakes/fake_capture.h"
#include "fakes/fake_messages.h"
#include "fakes/fake_misc.h"
#include "fakes/fake_parport.h"
#include "fakes/fake_serial.h"
#include "fakes/fake_store.h"
#include "fakes/fake_telescope.h"
#include "platform/platform.h"
#include "platform/telescope/driver_chooser.h"

#include <functional>
#include <set>

// Hands out drivers that forward to `scope`, which the test keeps and inspects; identifiers
// in `unknown` cannot be created.
class FakeTelescopeFactory : public TelescopeFactory {
public:
    std::unique_ptr<TelescopeDriver> create(const QString& identifier) override {
        created.append(identifier);
        if (unknown.count(identifier))
            throw TelescopeError("unknown driver");
        if (real)
            return real(identifier);
        return std::make_unique<Forwarder>(scope);
    }
    FakeTelescope scope;
    // When set, creates every driver instead of the fake (a real driver on a loopback peer).
    std::function<std::unique_ptr<TelescopeDriver>(const QString&)> real;
    std::set<QString> unknown;
    QStringList created;

private:
    struct Forwarder : TelescopeDriver {
        explicit Forwarder(FakeTelescope& t) : to(t) {}
        bool Connected() override { return to.Connected(); }
        void setConnected(bool c) override { to.setConnected(c); }
        bool CanPulseGuide() override { return to.CanPulseGuide(); }
        void PulseGuide(int d, double ms) override { to.PulseGuide(d, ms); }
        std::optional<bool> pulseRunning(int d) override { return to.pulseRunning(d); }
        void CommandBlind(const QString& c) override { to.CommandBlind(c); }
        void SetupDialog() override { to.SetupDialog(); }
        bool setupDialogKeepsConnection() const override { return to.keepsConnection; }
        bool reconnectable() const override { return to.reconnects; }
        FakeTelescope& to;
    };
};

// Answers each Choose() with the next of `answers` ("" once they run out).
class FakeChooser : public DriverChooser {
public:
    QString Choose() override {
        ++asked;
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    int asked = 0;
};

// Every platform component as a fake, owned here; platform() is the bundle to hand over.
// One working camera (index 0, black 640 x 480 frames) is installed unless a test clears it.
// Its capture windows show no view: FakePlatform gives them the desktop's.
struct FakeCorePlatform {
    FakeCorePlatform() {
        QImage frame(640, 480, QImage::Format_RGB32);
        frame.fill(Qt::black);
        capture.entries[0].frame = frame;
        // Windows of tests open no port unless a test asks for the server.
        store.set("Server Options", "Enabled", "0");
        // Nor do they write guide logs unless a test asks for one.
        store.set("Guide Log Options", "Enabled", "0");
        // Nor do they correct frames with the darks this machine holds.
        store.set("Dark Options", "Use Darks", "0");
        store.set("Dark Options", "Use Bad Pixel Map", "0");
    }

    FakeStore store;
    FakeParallelPort parallelPort;
    FakeSerial serial;
    FakeMessages messages;
    FakeSound sound;
    FakeSleeper sleeper;
    FakeTelescopeFactory telescopes;
    FakeTools tools;
    FakeCaptureDrivers capture;
    FakeChooser chooser;

    Platform platform() {
        return Platform{&store,   &parallelPort, &serial, &messages, &sound,
                        &sleeper, &telescopes,   &tools,  &capture,  &chooser};
    }
};
