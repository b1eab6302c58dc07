// The main window guiding through an Alpaca mount on a loopback server that stops answering.
#include "app/frame_picture.h"
#include "app/main_window_probe.h"
#include "app/star_frame.h"
#include "app/window_fixture.h"
#include "platform/alpaca_loopback_server.h"
#include "platform/telescope/alpaca_telescope.h"

#include <QAction>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {
const AlpacaTimeouts quick{300, 500, 300};

class SilentMount : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        fp.telescopes.real = [](const QString& identifier) -> std::unique_ptr<TelescopeDriver> {
            return std::make_unique<AlpacaTelescope>(*parseAlpacaIdentifier(identifier), quick);
        };
        fp.capture.entries[0].frame = frameWithStar(200, 100);
        fp.store.set("Guidescope Options", "FocalLength", "1444"); // 0.8 arcsec per pixel
    }
    QString identifier() const {
        return QStringLiteral("alpaca://127.0.0.1:%1/telescope/0").arg(server.port());
    }
    // Chooses the mount, locks on the star and starts guiding.
    frmMain& guiding() {
        fp.chooser.answers = {identifier()};
        frmMain& w = open();
        w.mnuChooseTelescope->trigger();
        MainWindowProbe::lockAndGuide(w, 200, 100);
        return w;
    }
    // The time one exposure cycle held the window, in ms, with the star 5 px off target.
    double cycleMs() {
        fp.capture.entries[0].frame = frameWithStar(205, 100);
        const auto start = std::chrono::steady_clock::now();
        MainWindowProbe::tickUntilCycle(*window);
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
            .count();
    }
    std::size_t sent() const { return server.requests().size(); }
    std::size_t pulsesSent() const {
        const auto requests = server.requests();
        return std::count_if(requests.begin(), requests.end(),
                             [](const auto& r) { return r.member == "pulseguide"; });
    }

    LoopbackAlpacaServer server;
};
} // namespace

TEST_F(SilentMount, CostsTheWindowOneTimeOutAndTheConnectedMark) {
    frmMain& w = guiding();
    ASSERT_TRUE(w.state.guiding);
    ASSERT_TRUE(w.mnuTelescopeConnected->isChecked());
    cycleMs();
    EXPECT_EQ(pulsesSent(), 1u);

    server.setMode(LoopbackAlpacaServer::Mode::slow, 20000);
    const double firstMs = cycleMs();
    std::printf("cycle with a silent mount: %.0f ms (pulse deadline %d ms)\n", firstMs,
                quick.callMs);
    EXPECT_LT(firstMs, quick.callMs + 1000);
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(w.hasCondition("mount"));
    EXPECT_TRUE(w.state.guiding) << "guiding goes on; the operator decides";

    const std::size_t before = sent();
    cycleMs();
    w.cmdNorth->click();
    EXPECT_EQ(sent(), before) << "the dead mount is not asked again";
    window.reset(); // shut-down
    EXPECT_EQ(sent(), before);
}

TEST_F(SilentMount, ConnectingAgainClearsTheCondition) {
    frmMain& w = guiding();
    server.setMode(LoopbackAlpacaServer::Mode::slow, 20000);
    cycleMs();
    ASSERT_TRUE(w.hasCondition("mount"));
    server.setMode(LoopbackAlpacaServer::Mode::normal);
    w.mnuTelescopeConnected->trigger();
    EXPECT_TRUE(w.mnuTelescopeConnected->isChecked());
    EXPECT_FALSE(w.hasCondition("mount"));
    const std::size_t before = pulsesSent();
    cycleMs();
    EXPECT_EQ(pulsesSent(), before + 1);
}

TEST_F(SilentMount, StartUpSendsNothingToAStoredMount) {
    server.setMode(LoopbackAlpacaServer::Mode::slow, 20000);
    fp.store.set("Telescope Options", "DriverID", identifier());
    open();
    EXPECT_EQ(window->mnuScope->text(), "Scope->" + identifier());
    window.reset();
    EXPECT_EQ(sent(), 0u);
}
