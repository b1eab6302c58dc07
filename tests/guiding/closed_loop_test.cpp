#include "app/simulated_run.h"
#include "app/window_fixture.h"

#include <cmath>

// Through the menus alone: the built-in telescope chosen, Preview, Lock and a click on the
// simulator's bright star, Guide. Knocked 9 arcsec off while guiding: the error falls
// below the minimum correction within a few cycles and then stays near it, in spite of drift
// and periodic error (a drift builds up to the minimum before it is corrected).
TEST_F(WindowTest, ClosedLoopOnTheSimulatorHoldsTheStar) {
    SimulatedRun run(fp);
    fp.store.set("Guiding Options", "Dec Correct", "1");
    fp.store.set("Guiding Options", "RA Guide Rate", "15");
    fp.store.set("Guiding Options", "Dec Guide Rate", "15");
    frmMain& w = run.open();
    SkySimulator& sky = run.sky;
    const auto cycle = [&] { run.cycle(); };
    w.cmdPreview->click();
    cycle();
    const QPointF star = sky.guideStarPosition();
    run.lockOnGuideStar();
    ASSERT_TRUE(w.state.locked);
    ASSERT_NEAR(w.state.targetX, star.x(), 1.0);
    w.cmdGuide->click();
    ASSERT_TRUE(w.state.guiding);

    sky.pulse(guideEast, 600); // 9 arcsec at 15 arcsec per second
    const double minimum = w.state.minCorrection;
    // The larger of the RA and Dec errors: each axis has its own dead band.
    auto error = [&] {
        return std::max(std::abs(w.state.errX * w.state.arcsecPerPixelX),
                        std::abs(w.state.errY * w.state.arcsecPerPixelY));
    };
    cycle();
    EXPECT_GT(error(), 8.0);
    for (int i = 0; i < 3; ++i)
        cycle();
    EXPECT_LT(error(), minimum);
    double sumSquares = 0;
    const int cycles = 120;
    const uint64_t rendered = sky.framesRendered();
    for (int i = 0; i < cycles; ++i) {
        cycle();
        ASSERT_FALSE(w.state.lockLost) << "cycle " << i;
        // The dead band, one cycle of drift and the seeing's jitter (0.4 arcsec rms).
        EXPECT_LT(error(), minimum + 1.5) << "cycle " << i;
        sumSquares += error() * error();
    }
    EXPECT_LT(std::sqrt(sumSquares / cycles), minimum);
    // Each cycle grabs twice and renders only the frame it uses.
    EXPECT_EQ(sky.framesRendered() - rendered, static_cast<uint64_t>(cycles));
}
