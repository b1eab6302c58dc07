#include "fakes/fake_store.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

class SimTelescopeTest : public ::testing::Test {
protected:
    SkySimulator sky{SkyOptions{}, std::make_shared<ManualSimClock>(0)};
    FakeStore store;
    SimTelescope scope{sky, store};
    QPointF moved(const std::function<void()>& act) {
        const QPointF before = sky.guideStarPosition();
        act();
        return sky.guideStarPosition() - before;
    }
};

TEST_F(SimTelescopeTest, PulsesMoveTheSkyOnlyWhileConnected) {
    EXPECT_THROW(scope.PulseGuide(guideEast, 500), TelescopeError);
    scope.setConnected(true);
    EXPECT_TRUE(scope.Connected());
    EXPECT_TRUE(scope.CanPulseGuide());
    // 15 arcsec per second for 0.5 s at 0.80214 arcsec per pixel: 9.35 px to the right.
    EXPECT_NEAR(moved([&] { scope.PulseGuide(guideEast, 500); }).x(), 9.35, 0.01);
    EXPECT_NEAR(moved([&] { scope.PulseGuide(guideNorth, 500); }).y(), -9.35, 0.01);
    EXPECT_THROW(scope.PulseGuide(7, 100), TelescopeError);
}

TEST_F(SimTelescopeTest, UnderstandsTheFourAutostarGuideCommands) {
    scope.setConnected(true);
    EXPECT_NEAR(moved([&] { scope.CommandBlind("Mgw0500"); }).x(), -9.35, 0.01);
    EXPECT_NEAR(moved([&] { scope.CommandBlind(":Mgs0500#"); }).y(), 9.35, 0.01);
    EXPECT_NEAR(moved([&] { scope.CommandBlind("Mge0083"); }).x(), 1.55, 0.01);
    for (const char* bad : {"", "Mgx0500", "MGn0500", ":Sr12:00:00#", "Mgn"})
        EXPECT_THROW(scope.CommandBlind(bad), TelescopeError) << bad;
}

// Only the exact identifier creates it; the window's telescope opens the simulator dialog, the
// headless one none.
TEST(SimTelescopeRegistry, ExactIdentifierAndSetupDialogOnlyWithAWindow) {
    SkySimulator sky;
    FakeStore store;
    TelescopeRegistry windowed, headless;
    registerSimTelescope(windowed, sky, store);
    registerSimTelescope(headless, sky, store, {});
    EXPECT_THROW(windowed.create("Orvalis.SimulatorX"), TelescopeError);
    QString title;
    QTimer::singleShot(0, [&title] {
        if (QWidget* dialog = QApplication::activeModalWidget()) {
            title = dialog->windowTitle();
            dialog->close();
        }
    });
    windowed.create("Orvalis.Simulator")->SetupDialog();
    EXPECT_EQ(title, "Simulated Telescope");
    EXPECT_THROW(headless.create("Orvalis.Simulator")->SetupDialog(), TelescopeError);
}
