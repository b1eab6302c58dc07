#include "app/window_fixture.h"
#include "fakes/fake_indi_device.h"
#include "indi_test_server.h"
#include "platform/telescope/indi_property_panel.h"
#include "platform/telescope/indi_setup_dialog.h"
#include "printers.h"

#include <QAction>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QThread>
#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace {
IndiVector vector(const char* name, const char* group, IndiKind kind, quint64 defined) {
    IndiVector v;
    v.device = "Mount";
    v.name = name;
    v.label = QString::fromLatin1(name).toLower();
    v.group = group;
    v.kind = kind;
    v.writable = true;
    v.defined = defined;
    return v;
}

IndiElement element(const char* name, double value = 0, bool on = false) {
    IndiElement e;
    e.name = name;
    e.value = value;
    e.on = on;
    e.format = "%g";
    return e;
}

IndiVector switches(const char* name, IndiRule rule, quint64 defined) {
    IndiVector v = vector(name, "Main Control", IndiKind::Switch, defined);
    v.rule = rule;
    v.elements = {element("A", 0, true), element("B"), element("C")};
    return v;
}

// A mount's properties in three groups, defined in this order.
FakeIndiDevice mountDevice() {
    FakeIndiDevice device;
    IndiVector connection = switches("CONNECTION", IndiRule::OneOfMany, 1);
    IndiVector info = vector("DRIVER_INFO", "General Info", IndiKind::Text, 2);
    info.writable = false;
    info.elements = {element("DRIVER_NAME")};
    info.elements[0].text = "Simulator";
    IndiVector rate = vector("GUIDE_RATE", "Motion Control", IndiKind::Number, 3);
    rate.elements = {element("GUIDE_RATE_WE", 0.5), element("GUIDE_RATE_NS", 0.5)};
    for (IndiElement& e : rate.elements)
        e.max = 1;
    IndiVector coord = vector("EQUATORIAL_EOD_COORD", "Main Control", IndiKind::Number, 4);
    coord.writable = false;
    coord.elements = {element("DEC", 45.5)};
    coord.elements[0].format = "%9.6m";
    IndiVector lights = vector("STATUS", "General Info", IndiKind::Light, 5);
    lights.elements = {element("SLEWING")};
    lights.elements[0].light = IndiState::Alert;
    device.vectors = {connection,
                      info,
                      rate,
                      coord,
                      lights,
                      switches("TRACK_MODE", IndiRule::AtMostOne, 6),
                      switches("OPTIONS", IndiRule::AnyOfMany, 7)};
    return device;
}

QStringList tabNames(const IndiSetupDialog& dialog) {
    QStringList names;
    for (int i = 0; i < dialog.tabs()->count(); ++i)
        names.append(dialog.tabs()->tabText(i));
    return names;
}

IndiPropertyPanel* panel(const IndiSetupDialog& dialog, const char* name) {
    return dialog.findChild<IndiPropertyPanel*>(QString::fromLatin1(name));
}

template <class W> W* in(IndiPropertyPanel* panel, const char* name) {
    return panel ? panel->findChild<W*>(QString::fromLatin1(name)) : nullptr;
}

QStringList labelTexts(QWidget* widget) {
    QStringList texts;
    for (const QLabel* label : widget->findChildren<QLabel*>())
        texts.append(label->text());
    return texts;
}
} // namespace

TEST(IndiSetupDialog, ShowsGroupsAsTabsAndEachKindAsItsWidgets) {
    FakeIndiDevice device = mountDevice();
    IndiSetupDialog dialog(device);
    EXPECT_EQ(tabNames(dialog), (QStringList{"Main Control", "General Info", "Motion Control"}));

    IndiPropertyPanel* connection = panel(dialog, "CONNECTION");
    ASSERT_TRUE(in<QRadioButton>(connection, "A") && in<QRadioButton>(connection, "B"));
    EXPECT_TRUE(in<QRadioButton>(connection, "A")->isChecked());
    EXPECT_TRUE(in<QCheckBox>(panel(dialog, "TRACK_MODE"), "B"));
    EXPECT_TRUE(in<QCheckBox>(panel(dialog, "OPTIONS"), "C"));

    QLineEdit* name = in<QLineEdit>(panel(dialog, "DRIVER_INFO"), "DRIVER_NAME");
    ASSERT_TRUE(name);
    EXPECT_TRUE(name->isReadOnly());
    EXPECT_EQ(name->text(), "Simulator");
    EXPECT_TRUE(labelTexts(panel(dialog, "STATUS")).contains("Alert"));

    // Read-only numbers are shown, not edited; their format applies.
    IndiPropertyPanel* coord = panel(dialog, "EQUATORIAL_EOD_COORD");
    EXPECT_TRUE(coord->findChildren<QLineEdit*>().isEmpty());
    EXPECT_TRUE(coord->findChildren<QPushButton*>().isEmpty());
    EXPECT_TRUE(labelTexts(coord).contains("45:30:00"));
}

TEST(IndiSetupDialog, SetSendsTypedNumbersAndRefusesBadOnes) {
    FakeIndiDevice device = mountDevice();
    IndiSetupDialog dialog(device);
    IndiPropertyPanel* rate = panel(dialog, "GUIDE_RATE");
    in<QLineEdit>(rate, "GUIDE_RATE_WE")->setText("0.3");
    in<QLineEdit>(rate, "GUIDE_RATE_NS")->setText("0:45");
    rate->findChild<QPushButton*>()->click();
    ASSERT_EQ(device.sent.size(), 1u);
    EXPECT_EQ(device.sent[0].name, "GUIDE_RATE");
    EXPECT_EQ(device.sent[0].element("GUIDE_RATE_WE")->value, 0.3);
    EXPECT_EQ(device.sent[0].element("GUIDE_RATE_NS")->value, 0.75);

    in<QLineEdit>(rate, "GUIDE_RATE_NS")->setText("fast");
    rate->sendTypedNumbers();
    in<QLineEdit>(rate, "GUIDE_RATE_NS")->setText("1.5");
    rate->sendTypedNumbers();
    EXPECT_EQ(device.sent.size(), 1u) << "nothing sent for a text that is no number or too big";
    EXPECT_TRUE(labelTexts(rate).contains("GUIDE_RATE_NS must lie between 0 and 1"))
        << labelTexts(rate).join('|').toStdString();
}

TEST(IndiSetupDialog, SwitchClicksFollowTheRule) {
    FakeIndiDevice device = mountDevice();
    IndiSetupDialog dialog(device);
    const auto states = [](const IndiVector& v) {
        QString s;
        for (const IndiElement& e : v.elements)
            s += e.on ? '1' : '0';
        return s;
    };
    in<QRadioButton>(panel(dialog, "CONNECTION"), "B")->click();
    in<QCheckBox>(panel(dialog, "TRACK_MODE"), "A")->click(); // unchecks the only one on
    in<QCheckBox>(panel(dialog, "OPTIONS"), "C")->click();
    ASSERT_EQ(device.sent.size(), 3u);
    EXPECT_EQ(states(device.sent[0]), "010");
    EXPECT_EQ(states(device.sent[1]), "000");
    EXPECT_EQ(states(device.sent[2]), "101");
    // Until the server answers, the buttons keep what it last said.
    EXPECT_TRUE(in<QRadioButton>(panel(dialog, "CONNECTION"), "A")->isChecked());
}

TEST(IndiSetupDialog, RefreshShowsNewValuesPropertiesAndFailures) {
    FakeIndiDevice device = mountDevice();
    IndiSetupDialog dialog(device);
    dialog.tabs()->setCurrentIndex(2);
    in<QLineEdit>(panel(dialog, "GUIDE_RATE"), "GUIDE_RATE_WE")->setText("0.9");

    device.vectors[0].elements[0].on = false; // CONNECTION: B on
    device.vectors[0].elements[1].on = true;
    device.vectors[3].elements[0].value = -10.25;
    device.message = "Mount is parked.";
    ++device.changes;
    dialog.refresh();
    EXPECT_TRUE(in<QRadioButton>(panel(dialog, "CONNECTION"), "B")->isChecked());
    EXPECT_FALSE(in<QRadioButton>(panel(dialog, "CONNECTION"), "A")->isChecked());
    EXPECT_TRUE(labelTexts(panel(dialog, "EQUATORIAL_EOD_COORD")).contains("-10:15:00"));
    EXPECT_EQ(in<QLineEdit>(panel(dialog, "GUIDE_RATE"), "GUIDE_RATE_WE")->text(), "0.9");
    EXPECT_EQ(dialog.statusText(), "Mount is parked.");

    IndiVector site = vector("GEOGRAPHIC_COORD", "Site Management", IndiKind::Number, 8);
    site.elements = {element("LAT", 52)};
    device.vectors.push_back(site);
    ++device.changes;
    dialog.refresh();
    EXPECT_EQ(dialog.tabs()->count(), 4);
    EXPECT_TRUE(panel(dialog, "GEOGRAPHIC_COORD"));
    EXPECT_EQ(dialog.tabs()->tabText(dialog.tabs()->currentIndex()), "Motion Control");

    device.failSend = true;
    in<QCheckBox>(panel(dialog, "OPTIONS"), "B")->click();
    ++device.changes;
    dialog.refresh();
    EXPECT_TRUE(dialog.statusText().startsWith("Lost the connection"))
        << "not the driver's message";
}

TEST(IndiSetupDialog, ShowsTheServersDeviceAndChangesItsGuideRate) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    IndiTelescope mount(simulatorAt(server.port()), quickTimeouts);
    EXPECT_THROW(mount.SetupDialog(), TelescopeError) << "no dialog to show";

    QStringList tabs;
    mount.setSetupDialog(
        [&](IndiDeviceAccess& device) { tabs = tabNames(IndiSetupDialog(device)); });
    mount.SetupDialog(); // not connected: the server link lasts as long as the dialog
    EXPECT_TRUE(tabs.contains("Main Control")) << tabs.join('|').toStdString();
    EXPECT_FALSE(mount.Connected());

    mount.setConnected(true);
    QStringList shown;
    mount.setSetupDialog([&](IndiDeviceAccess& device) {
        IndiSetupDialog dialog(device);
        IndiPropertyPanel* rate = panel(dialog, "GUIDE_RATE");
        ASSERT_TRUE(rate);
        in<QLineEdit>(rate, "GUIDE_RATE_WE")->setText("0.3");
        in<QLineEdit>(rate, "GUIDE_RATE_NS")->setText("0.3");
        rate->sendTypedNumbers();
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 3000 && !labelTexts(rate).contains("0.3")) {
            QThread::msleep(20);
            dialog.refresh();
        }
        shown = labelTexts(rate);
    });
    mount.SetupDialog();
    EXPECT_EQ(shown.count("0.3"), 2) << shown.join('|').toStdString();
    EXPECT_TRUE(mount.Connected()) << "the dialog leaves the driver's link alone";

    server.kill();
    // The client learns of the lost link on its own thread; give it a moment.
    for (int i = 0; i < 250 && mount.Connected(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_THROW(mount.SetupDialog(), TelescopeError);
}

using IndiPropertiesMenu = WindowTest;

// Telescope > Properties... on a connected INDI mount: the dialog shows the connected device
// (its focal length and guide rate come only with the connection) and the window still has the
// mount connected afterwards. Switching it off in the dialog takes the Connected mark off.
TEST_F(IndiPropertiesMenu, LeavesTheMountConnectedAndShowsItsConnectedProperties) {
    IndiTestServer server;
    ASSERT_TRUE(server.running()) << server.problem().toStdString();
    bool connectedInDialog = false, disconnect = false;
    QStringList shown;
    fp.telescopes.real = [&](const QString&) {
        auto mount = std::make_unique<IndiTelescope>(simulatorAt(server.port()), quickTimeouts);
        mount->setSetupDialog([&](IndiDeviceAccess& device) {
            IndiSetupDialog dialog(device);
            QRadioButton* on = in<QRadioButton>(panel(dialog, "CONNECTION"), "CONNECT");
            connectedInDialog = on && on->isChecked();
            shown.clear();
            for (const IndiPropertyPanel* p : dialog.findChildren<IndiPropertyPanel*>())
                shown.append(p->objectName());
            if (!disconnect)
                return;
            in<QRadioButton>(panel(dialog, "CONNECTION"), "DISCONNECT")->click();
            for (int i = 0; i < 150 && on && on->isChecked(); ++i) {
                QThread::msleep(20);
                dialog.refresh();
                on = in<QRadioButton>(panel(dialog, "CONNECTION"), "CONNECT");
            }
        });
        return std::unique_ptr<TelescopeDriver>(std::move(mount));
    };
    fp.chooser.answers = {
        QStringLiteral("indi://localhost:%1/Telescope%20Simulator").arg(server.port())};
    frmMain& w = open();
    w.mnuChooseTelescope->trigger();
    ASSERT_TRUE(w.mnuTelescopeConnected->isChecked()) << fp.messages.texts.join("; ").toStdString();

    w.mnuTelescopeProperties->trigger();
    EXPECT_TRUE(connectedInDialog);
    EXPECT_TRUE(shown.contains("TELESCOPE_INFO") && shown.contains("GUIDE_RATE"))
        << shown.join('|').toStdString();
    EXPECT_TRUE(w.mnuTelescopeConnected->isChecked());
    EXPECT_TRUE(w.state.telescope->Connected());

    disconnect = true;
    w.mnuTelescopeProperties->trigger();
    EXPECT_FALSE(w.mnuTelescopeConnected->isChecked());
    EXPECT_FALSE(w.state.telescope->Connected());
}
