#pragma once

#include "app/frmMain.h"
#include "app/main_window_probe.h"
#include "engine/Globals.h"
#include "fakes/sim_rig.h"
#include "server/protocol_client.h"
#include "server/server_link.h"

#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

// The real window on the built-in simulator (camera and telescope), its server on a free
// loopback port. Guide cycles run when the test says (cycle()), on a simulated clock.
class ServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Globals::starX = Globals::starY = 0.0f;
        Globals::lxPortAddress = 0;
        rig.serveImagingPrograms(QStringLiteral("0"));
        prepare();
        window = std::make_unique<frmMain>(platform());
        // Exposures end only on cycle().
        window->HalfSecTimer->setInterval(24 * 3600 * 1000);
        port = window->server()->events().port();
        ASSERT_NE(port, 0);
    }

    // Runs before the window starts, for settings it reads at start-up.
    virtual void prepare() {}
    // The equipment the window gets: the simulator's camera and telescope unless a fixture
    // swaps in fakes.
    virtual Platform platform() { return rig.platform(); }

    // One exposure and its guide cycle, then the event loop runs briefly.
    void cycle() {
        for (int tick = 0; tick < 100; ++tick) {
            clock->advance(0.5);
            const float before = window->state.elapsedSec;
            MainWindowProbe::tick(*window);
            if (window->state.elapsedSec < before + 0.5f)
                break;
        }
        ProtocolClient::waitFor([] { return false; }, 20);
    }
    // Cycles until `client` has event `name` after `from`; its index or -1.
    int cycleUntil(ProtocolClient& client, const QString& name, size_t from, int cycles = 12) {
        for (int n = 0; n < cycles; ++n) {
            cycle();
            client.drain();
            if (const int at = client.event(name, from, 0); at >= 0)
                return at;
        }
        return -1;
    }
    // The greeting read, then the equipment connected.
    static void greetAndConnect(ProtocolClient& client) {
        ASSERT_GE(client.event("AppState"), 0);
        ASSERT_EQ(client.call("set_connected", "[true]").value("result").toInt(-1), 0);
    }
    // Connected, looping, the greeting and the first frame's event read.
    void connectAndLoop(ProtocolClient& client) {
        ASSERT_NO_FATAL_FAILURE(greetAndConnect(client));
        ASSERT_EQ(client.call("loop").value("result").toInt(-1), 0);
        cycle();
        ASSERT_GE(client.event("LoopingExposures"), 0);
    }

    // Guiding as guide starts it from a connected loop, settled; then the target moved by
    // (dx, dy) px from the star, so that the next guide steps show an offset.
    void guideOffTarget(ProtocolClient& client, float dx, float dy) {
        ASSERT_NO_FATAL_FAILURE(connectAndLoop(client));
        const size_t from = client.lines.size();
        client.call("guide", "[{\"pixels\":1.5,\"time\":0,\"timeout\":30},false]");
        ASSERT_GE(cycleUntil(client, "SettleDone", from), 0);
        const QByteArray moved = QStringLiteral("[%1,%2,true]")
                                     .arg(window->state.targetX + dx)
                                     .arg(window->state.targetY + dy)
                                     .toLatin1();
        ASSERT_EQ(client.call("set_lock_position", moved).value("result").toInt(-1), 0);
    }

    std::shared_ptr<ManualSimClock> clock = std::make_shared<ManualSimClock>(0);
    SimRig rig{clock};
    std::unique_ptr<frmMain> window;
    quint16 port = 0;
};
