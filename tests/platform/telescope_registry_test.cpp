#include "fakes/fake_telescope.h"
#include "platform/telescope/telescope_registry.h"

#include <gtest/gtest.h>

TEST(TelescopeRegistry, CreatesByPrefixAndRefusesUnknownSchemes) {
    TelescopeRegistry registry;
    QStringList asked;
    registry.add("indi://", [&](const QString& id) {
        asked.append(id);
        return std::make_unique<FakeTelescope>();
    });
    registry.add("alpaca://", [](const QString&) { return std::unique_ptr<TelescopeDriver>(); });

    EXPECT_NE(registry.create("indi://localhost:7624/Telescope%20Simulator"), nullptr);
    EXPECT_EQ(asked, QStringList{"indi://localhost:7624/Telescope%20Simulator"});
    EXPECT_THROW(registry.create("INDI://localhost:7624/x"), TelescopeError);
    EXPECT_THROW(registry.create("ASCOM.Simulator.Telescope"), TelescopeError);
    EXPECT_THROW(registry.create(""), TelescopeError);
    // A creator that yields nothing is a failure too, never a null driver.
    EXPECT_THROW(registry.create("alpaca://h:1/telescope/0"), TelescopeError);
}
