#include "fakes/fake_store.h"
#include "platform/store/write_behind_store.h"
#include "server/listen_settings.h"
#include "server/server_fixture.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

#include <QJsonArray>
#include <QLabel>
#include <QStatusBar>

// Held writes reach the store once per key, with the last value, at flush or destruction; a
// key written within the delay waits; reads see kept values; a write made while not held goes
// through and replaces a kept one.
TEST(WriteBehindStoreTest, KeepsTheLastValueAndWritesItOnce) {
    FakeStore inner;
    std::vector<bool> reports;
    {
        WriteBehindStore store(inner, 60 * 60 * 1000,
                               [&](bool saved) { reports.push_back(saved); });
        {
            const WriteBehindStore::Hold hold(store);
            for (int n = 0; n < 100; ++n)
                EXPECT_TRUE(store.writeSetting("Camera", "Exposure", QString::number(n % 7)));
            store.writeSetting("Guiding Options", "Dec Correct", "0");
        }
        EXPECT_TRUE(inner.writes.isEmpty());
        EXPECT_EQ(store.readSetting("CAMERA", "exposure", "?"), "1"); // 99 % 7
        store.flush();
        EXPECT_EQ(inner.writesOf("Camera", "Exposure"), QStringList{"1"});
        EXPECT_EQ(inner.writesOf("Guiding Options", "Dec Correct"), QStringList{"0"});
        EXPECT_EQ(reports, std::vector<bool>{true});

        {
            const WriteBehindStore::Hold hold(store);
            store.writeSetting("Camera", "Exposure", "2");
            store.writeSetting("Camera", "Gain", "9");
        }
        store.flushIfDue();
        EXPECT_EQ(inner.writesOf("Camera", "Gain"), QStringList{"9"});
        EXPECT_EQ(inner.writesOf("Camera", "Exposure"), QStringList{"1"});
        EXPECT_TRUE(store.writeSetting("camera", "EXPOSURE", "3"));
        store.flush();
        EXPECT_EQ(inner.writesOf("Camera", "Exposure"), (QStringList{"1", "3"}));

        inner.failWrites = true;
        {
            const WriteBehindStore::Hold hold(store);
            store.writeSetting("Camera", "Exposure", "4");
        }
        store.flush();
        EXPECT_EQ(reports, (std::vector<bool>{true, true, false}));
        inner.failWrites = false;
        const WriteBehindStore::Hold hold(store);
        store.writeSetting("Camera", "Exposure", "5");
    }
    EXPECT_EQ(inner.get("Camera", "Exposure"), "5");
}

// Values that cannot be read give way to the defaults, and each is named.
TEST(ListenSettingsTest, UnreadableValuesFallBackAndAreNamed) {
    FakeStore store;
    SettingsReader in(store);
    store.set("Server Options", "Port", "7000");
    store.set("Server Options", "Listen", " Network ");
    ListenSettings read = listenSettings(in);
    EXPECT_EQ(read.port, 7000);
    EXPECT_TRUE(read.network);
    EXPECT_TRUE(read.unreadable.isEmpty());

    store.set("Server Options", "Port", "44OO");
    store.set("Server Options", "Listen", "netwrok");
    read = listenSettings(in);
    EXPECT_EQ(read.port, 4400);
    EXPECT_FALSE(read.network);
    EXPECT_EQ(read.unreadable,
              (QStringList{"Port \"44OO\" (4400 used)", "Listen \"netwrok\" (local used)"}));
    store.set("Server Options", "Port", "70000");
    EXPECT_EQ(listenSettings(in).unreadable.size(), 2);
}

// The window says so, lastingly, and listens on the loopback as by default.
TEST(ServerStartTest, AnUnreadableListenValueIsALastingNote) {
    SimRig rig;
    rig.fp.store.set("Server Options", "Enabled", "1");
    rig.fp.store.set("Server Options", "Port", "0");
    rig.fp.store.set("Server Options", "Listen", "netwrok");
    frmMain w(rig.platform());
    EXPECT_TRUE(w.hasCondition("server settings"));
    EXPECT_TRUE(w.server()->events().isListening());
    QStringList texts;
    for (const QLabel* label : w.statusBar()->findChildren<QLabel*>())
        texts << label->text();
    EXPECT_TRUE(texts.join('|').contains("Listen \"netwrok\" (local used)"))
        << texts.join('|').toStdString();
    w.note("a passing note");
    EXPECT_TRUE(w.hasCondition("server settings"));
}

// A flood of exposure changes writes the setting a bounded number of times, and the value
// last asked for is the one stored.
TEST_F(ServerTest, ExposureChangesInABatchAreWrittenOnce) {
    ProtocolClient c(port);
    connectAndLoop(c);
    const auto& key = keys::Exposure;
    const qsizetype before = rig.fp.store.writesOf(key.section, key.key).size();
    QByteArray batch = "[";
    for (int n = 0; n < 60; ++n)
        batch += QByteArray(n ? "," : "") + "{\"method\":\"set_exposure\",\"params\":[" +
                 (n % 2 ? "3000" : "2000") + "],\"id\":" + QByteArray::number(n) + '}';
    c.send(batch + "]\n");
    ASSERT_TRUE(ProtocolClient::waitFor([&] { return c.raw.last().startsWith('['); }));
    EXPECT_EQ(QJsonDocument::fromJson(c.raw.last()).array().size(), 60);
    EXPECT_EQ(c.call("get_exposure").value("result").toInt(), 3000);
    EXPECT_TRUE(
        ProtocolClient::waitFor([&] { return rig.fp.store.get(key.section, key.key) == "3"; }));
    const QStringList writes = rig.fp.store.writesOf(key.section, key.key).mid(before);
    EXPECT_LE(writes.size(), 2) << writes.join(',').toStdString();
    EXPECT_EQ(writes.last(), "3");
}
