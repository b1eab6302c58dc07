#include "platform/store/ini_settings_store.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QByteArray contents(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
void put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}
} // namespace

class IniStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath("Orvalis/Orvalis.ini"); }
};

TEST_F(IniStore, AbsentKeyGivesDefaultAndReadsWriteNothing) {
    IniSettingsStore store(path());
    EXPECT_EQ(store.readSetting("Guiding Options", "Radius", "24"), "24");
    EXPECT_FALSE(QFile::exists(path()));
}

TEST_F(IniStore, WritesAreOnDiskAtOnceAndSurviveAReopen) {
    {
        IniSettingsStore store(path());
        ASSERT_TRUE(store.writeSetting("Guiding Options", "RA Guide Rate", "15"));
        ASSERT_TRUE(store.writeSetting("Logging Options", "Log Filename", "/home/a, b/log.txt"));
        // Visible to another reader before this store is gone: nothing waits for a flush.
        IniSettingsStore other(path());
        EXPECT_EQ(other.readSetting("guiding options", "ra guide rate", ""), "15");
    }
    IniSettingsStore store(path());
    EXPECT_EQ(store.readSetting("Logging Options", "Log Filename", ""), "/home/a, b/log.txt");
    EXPECT_TRUE(store.keptUnreadableAs().isEmpty());
}

TEST_F(IniStore, KeysAndSectionsMatchWithoutRegardToCase) {
    IniSettingsStore store(path());
    store.writeSetting("Camera Options", "HasAmpOff", "1");
    EXPECT_EQ(store.readSetting("CAMERA OPTIONS", "hasampoff", "0"), "1");
    EXPECT_EQ(store.readSetting("camera options", "HASAMPOFF", "0"), "1");

    // A write in other letters replaces the key instead of adding a twin.
    store.writeSetting("camera options", "HASAMPOFF", "0");
    EXPECT_EQ(store.readSetting("Camera Options", "HasAmpOff", "1"), "0");
    const QByteArray file = contents(path());
    EXPECT_EQ(file.toLower().count("hasampoff"), 1) << file.constData();
}

TEST_F(IniStore, ReadsHandEditedFiles) {
    QDir().mkpath(dir.filePath("Orvalis"));
    put(path(),
        "[camera options]\nport=3\nLXSerialPin = DTR\n[Guiding Options]\nLog Filename=/data/a,b\n");
    IniSettingsStore store(path());
    EXPECT_EQ(store.readSetting("Camera Options", "Port", "0"), "3");
    EXPECT_EQ(store.readSetting("Camera Options", "LXSerialPin", "RTS"), "DTR");
    EXPECT_EQ(store.readSetting("Guiding Options", "Log Filename", ""), "/data/a,b");
    EXPECT_TRUE(store.keptUnreadableAs().isEmpty());
}

TEST_F(IniStore, UnreadableFileIsKeptAsideNeverOverwritten) {
    QDir().mkpath(dir.filePath("Orvalis"));
    const QByteArray garbage("[Guiding Options\n\x01\xff\xfe binary\n", 28);
    put(path(), garbage);
    put(path() + ".bad", "an older unreadable file");

    IniSettingsStore store(path());
    EXPECT_EQ(store.keptUnreadableAs(), path() + ".bad.2");
    EXPECT_EQ(contents(path() + ".bad.2"), garbage);
    EXPECT_EQ(contents(path() + ".bad"), "an older unreadable file");
    // The store starts empty, and writes go to a fresh file.
    EXPECT_EQ(store.readSetting("Guiding Options", "GuideMode", "dflt"), "dflt");
    EXPECT_TRUE(store.writeSetting("Guiding Options", "GuideMode", "Parallel"));
    EXPECT_EQ(IniSettingsStore(path()).readSetting("Guiding Options", "GuideMode", ""), "Parallel");
}

TEST_F(IniStore, FailedWriteIsReportedAndLaterWritesRecover) {
    // The settings folder's place is taken by a file, so nothing can be saved.
    put(dir.filePath("Orvalis"), "not a folder");
    IniSettingsStore store(path());
    EXPECT_FALSE(store.writeSetting("Guiding Options", "GuideMode", "ASCOM"));
    EXPECT_FALSE(store.lastError().isEmpty());

    QFile::remove(dir.filePath("Orvalis"));
    EXPECT_TRUE(store.writeSetting("Guiding Options", "GuideMode", "Parallel"));
    EXPECT_EQ(IniSettingsStore(path()).readSetting("Guiding Options", "GuideMode", ""), "Parallel");
}

TEST(IniStorePath, FollowsXdgConfigHome) {
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/xdg-test");
    EXPECT_EQ(IniSettingsStore::defaultPath(), "/tmp/xdg-test/Orvalis/Orvalis.ini");
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(IniSettingsStore::defaultPath(), QDir::homePath() + "/.config/Orvalis/Orvalis.ini");
    if (!saved.isEmpty())
        qputenv("XDG_CONFIG_HOME", saved);
}

// A value stored in another encoding (a Latin-1 path, say) is not rewritten by a write of
// some other key.
TEST_F(IniStore, BytesThatAreNotUtf8SurviveAWriteOfAnotherKey) {
    QDir().mkpath(dir.filePath("Orvalis"));
    const QByteArray latin1Line = "Log%20Filename=/home/j\xf6rg/guide.log";
    put(path(), "[Logging Options]\n" + latin1Line + "\n\n[Guiding Options]\nRadius=30\n");
    {
        IniSettingsStore store(path());
        ASSERT_TRUE(store.writeSetting("Guiding Options", "Radius", "24"));
        ASSERT_TRUE(store.writeSetting("Guiding Options", "Aggressiveness", "120"));
    }
    const QByteArray after = contents(path());
    EXPECT_TRUE(after.contains("\n" + latin1Line + "\n")) << after.toStdString();
    EXPECT_TRUE(after.contains("Radius=24"));
    EXPECT_FALSE(after.contains("\xef\xbf\xbd"));
    IniSettingsStore reopened(path());
    EXPECT_EQ(reopened.readSetting("Guiding Options", "Aggressiveness", ""), "120");
    // The value itself is changed when the operator writes it.
    ASSERT_TRUE(reopened.writeSetting("Logging Options", "Log Filename", "/tmp/a.log"));
    EXPECT_FALSE(contents(path()).contains("j\xf6rg"));
}
