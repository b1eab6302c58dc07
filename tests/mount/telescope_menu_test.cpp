#include "app/window_fixture.h"

#include <QAction>
#include <QPushButton>

namespace {
const char* tel = "Telescope Options";
const QString kConnectFail =
    "Problem connecting to telescope/mount.  Please check the connections.";
} // namespace

class TelescopeMenu : public WindowTest {
protected:
    FakeTelescope& scope() { return fp.telescopes.scope; }
    void expectMenu(const QString& scopeText, bool scopeOn, bool connectedOn, bool mark,
                    bool propertiesOn) {
        EXPECT_EQ(window->mnuScope->text(), scopeText);
        EXPECT_EQ(window->mnuScope->isEnabled(), scopeOn);
        EXPECT_EQ(window->mnuTelescopeConnected->isEnabled(), connectedOn);
        EXPECT_EQ(window->mnuTelescopeConnected->isChecked(), mark);
        EXPECT_EQ(window->mnuTelescopeProperties->isEnabled(), propertiesOn);
    }
};

TEST_F(TelescopeMenu, StartUpWithoutAndWithAStoredDriver) {
    open();
    expectMenu("<none>", false, false, false, false);
    EXPECT_FALSE(window->state.telescope);

    fp.store.set(tel, "DriverID", "indi://localhost:7624/Mount");
    open();
    expectMenu("Scope->indi://localhost:7624/Mount", true, true, false, false);
    EXPECT_EQ(scope().calls, QStringList{"Connected=0"}); // not even asked whether it guides
}

TEST_F(TelescopeMenu, StoredDriverThatCannotBeCreatedIsForgottenQuietly) {
    fp.store.set(tel, "DriverID", "ASCOM.Gone.Telescope");
    fp.telescopes.unknown.insert("ASCOM.Gone.Telescope");
    open();
    expectMenu("<none>", false, false, false, false);
    EXPECT_TRUE(fp.messages.texts.isEmpty());
    EXPECT_EQ(fp.store.get(tel, "DriverID"), "<none>");
}

TEST_F(TelescopeMenu, ChoosingConnectsTestsAndStores) {
    fp.chooser.answers = {"Orvalis.Simulator"};
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    EXPECT_EQ(scope().calls, QStringList({"Connected=1", "CanPulseGuide?"}));
    expectMenu("Scope->Orvalis.Simulator", true, true, true, true);
    EXPECT_EQ(fp.store.writesOf(tel, "DriverID"), QStringList({"<none>", "Orvalis.Simulator"}));

    // Cancelling a new choice forgets the old driver, without disconnecting it.
    scope().calls.clear();
    w.mnuChooseTelescope->trigger();
    expectMenu("<none>", false, false, false, false);
    EXPECT_FALSE(w.state.telescope);
    EXPECT_EQ(fp.store.get(tel, "DriverID"), "<none>");
    EXPECT_TRUE(scope().calls.isEmpty());
}

TEST_F(TelescopeMenu, DriverThatCannotGuideOrConnectIsDropped) {
    fp.chooser.answers = {"Orvalis.Simulator", "Orvalis.Simulator", "alpaca://x:1/telescope/0"};
    fp.telescopes.unknown.insert("alpaca://x:1/telescope/0");
    scope().canPulseGuide = false;
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    ASSERT_EQ(fp.messages.texts.size(), 1);
    EXPECT_EQ(fp.messages.texts[0], "Sorry...This scope can not be guided!\r\nThe scope must "
                                    "support the ASCOM PulseGuide() Function.");
    EXPECT_EQ(fp.messages.icons[0], MessageIcon::Critical);
    EXPECT_FALSE(w.state.telescope);
    expectMenu("<none>", false, false, false, false);

    scope().canPulseGuide = true;
    scope().failConnect = true;
    w.mnuChooseTelescope->trigger();
    EXPECT_EQ(fp.messages.texts.last(), kConnectFail);
    EXPECT_EQ(fp.messages.icons.back(), MessageIcon::None);
    EXPECT_FALSE(w.state.telescope);
    EXPECT_TRUE(status().contains("does not answer"));

    w.mnuChooseTelescope->trigger(); // an identifier nobody can create
    EXPECT_EQ(fp.messages.texts.size(), 3);
    EXPECT_EQ(fp.store.get(tel, "DriverID"), "<none>");
}

TEST_F(TelescopeMenu, ConnectedEntryTogglesTheConnection) {
    fp.store.set(tel, "DriverID", "Orvalis.Simulator");
    frmMain& w = open();
    w.mnuTelescopeConnected->trigger();
    expectMenu("Scope->Orvalis.Simulator", true, true, true, true);
    EXPECT_TRUE(scope().connected);
    w.mnuTelescopeConnected->trigger();
    expectMenu("Scope->Orvalis.Simulator", true, true, false, true);
    EXPECT_FALSE(scope().connected);

    scope().failConnect = true;
    w.mnuTelescopeConnected->trigger();
    EXPECT_EQ(fp.messages.texts, QStringList{kConnectFail});
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(w.state.telescope);
}

TEST_F(TelescopeMenu, PropertiesDisconnectsFirstAndIsRefusedWhileGuiding) {
    fp.chooser.answers = {"Orvalis.Simulator"};
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    w.cmdGuide->click();
    ASSERT_TRUE(w.state.guiding);
    scope().calls.clear();
    w.mnuTelescopeProperties->trigger();
    EXPECT_EQ(fp.messages.texts.last(),
              "You must disable guiding before changing telescope properties.");
    EXPECT_TRUE(scope().calls.isEmpty());

    w.cmdGuide->click();
    w.mnuTelescopeProperties->trigger();
    EXPECT_EQ(scope().calls, QStringList({"Connected?", "Connected=0", "SetupDialog"}));
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(w.mnuTelescopeProperties->isEnabled());

    scope().failSetup = true;
    w.mnuTelescopeProperties->trigger();
    EXPECT_TRUE(status().contains("does not answer"));
}

// A driver whose dialog works on the live mount keeps its connection; the mark then follows
// whatever the operator did to the connection inside the dialog.
TEST_F(TelescopeMenu, PropertiesKeepsTheConnectionOfADriverThatAllowsIt) {
    fp.chooser.answers = {"Orvalis.Simulator"};
    scope().keepsConnection = true;
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    scope().calls.clear();
    w.mnuTelescopeProperties->trigger();
    EXPECT_EQ(scope().calls, QStringList({"SetupDialog", "Connected?"}));
    EXPECT_TRUE(w.mnuTelescopeConnected->isChecked());

    scope().disconnectInSetup = true;
    w.mnuTelescopeProperties->trigger();
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(w.mnuTelescopeProperties->isEnabled());
}
