#include "platform/store/ini_edit.h"
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

// A file written by hand: comments, blanks around "=", keys with plain spaces, a Latin-1 path,
// Windows line ends. A write changes the one line of its key and nothing else.
TEST_F(IniStore, WriteChangesOnlyTheLineOfItsKey) {
    QDir().mkpath(dir.filePath("Orvalis"));
    const QByteArray latin1Line = "Log Filename = /home/j\xf6rg/guide.log";
    const QByteArray handWritten = "; my settings\r\n[Logging Options]\r\n" + latin1Line +
                                   "\r\nLog Enable=1 ; on at night\r\n\r\n"
                                   "[guiding options]\r\n  Radius = 30\r\nZeta=\"a;b\"\r\n";
    put(path(), handWritten);
    {
        IniSettingsStore store(path());
        ASSERT_TRUE(store.writeSetting("Guiding Options", "RADIUS", "24"));
        ASSERT_TRUE(store.writeSetting("Guiding Options", "Aggressiveness", "120"));
        ASSERT_TRUE(store.writeSetting("Camera Options", "Exposure", "2"));
        EXPECT_EQ(store.readSetting("guiding options", "radius", ""), "24");
        EXPECT_EQ(store.readSetting("Logging Options", "Log Enable", ""), "1");
    }
    const QByteArray expected = "; my settings\r\n[Logging Options]\r\n" + latin1Line +
                                "\r\nLog Enable=1 ; on at night\r\n\r\n"
                                "[guiding options]\r\n  Radius = 24\r\nZeta=\"a;b\"\r\n"
                                "Aggressiveness=120\r\n\r\n[Camera%20Options]\r\nExposure=2\r\n";
    EXPECT_EQ(contents(path()), expected);

    // The operator's own change of that value is written, in UTF-8.
    IniSettingsStore reopened(path());
    EXPECT_EQ(reopened.readSetting("Guiding Options", "Aggressiveness", ""), "120");
    ASSERT_TRUE(reopened.writeSetting("Logging Options", "Log Filename", "/home/j\u00f6rg/a.log"));
    const QByteArray after = contents(path());
    EXPECT_TRUE(after.contains("\r\nLog Filename = /home/j\xc3\xb6rg/a.log\r\n")) << after.data();
    EXPECT_EQ(IniSettingsStore(path()).readSetting("Logging Options", "Log Filename", ""),
              "/home/j\u00f6rg/a.log");
}

// Whatever the text, a fresh reader gets back exactly what was written.
TEST_F(IniStore, EveryTextReadsBackAsWritten) {
    const QString texts[] = {"",
                             "plain",
                             " leading and trailing ",
                             "a,b;c=d",
                             "\"quoted\" and \\back\\slashed",
                             "@at the start",
                             "@@",
                             "tab\tnew\nline\rcarriage",
                             QString::fromLatin1("nul\0"
                                                 "7 and \x01"
                                                 "f",
                                                 12),
                             "J\u00f6rg \u00e9t\u00e9 \u6f22 \U0001F52D",
                             "C:\\Guiding\\log.txt",
                             "ends with a backslash\\"};
    for (const QString& text : texts) {
        IniSettingsStore store(path());
        ASSERT_TRUE(store.writeSetting("Logging Options", "Log Filename", text));
        ASSERT_TRUE(store.writeSetting("Logging Options", "Next", "x"));
        EXPECT_EQ(IniSettingsStore(path()).readSetting("Logging Options", "Log Filename", "?"),
                  text)
            << contents(path()).toStdString();
        EXPECT_EQ(IniSettingsStore(path()).readSetting("Logging Options", "Next", "?"), "x");
    }
}

TEST(IniEdit, AddsAndReplacesAtTheRightPlace) {
    const struct {
        const char* file;
        const char* section;
        const char* key;
        const char* written;
    } cases[] = {
        {"", "Guiding Options", "Radius", "[Guiding%20Options]\nRadius=24\n"},
        {"[A]\nx=1", "A", "y", "[A]\nx=1\ny=24\n"},
        {"[A]", "A", "y", "[A]\ny=24\n"},
        {"[A]\nx=1\n; about B\n[B]\nz=2\n", "a", "Y", "[A]\nx=1\nY=24\n; about B\n[B]\nz=2\n"},
        {"[A]\nx=1", "B", "y", "[A]\nx=1\n\n[B]\ny=24\n"},
        {"[A]\nx=\"multi\nline\"\ny=1\n", "A", "x", "[A]\nx=24\ny=1\n"},
        {"[A]\nx=a\\\n  b\ny=1\n", "A", "x", "[A]\nx=24\ny=1\n"},
        {"[A]\nx=1 ; old\nX=2 ; twin\n", "A", "x", "[A]\nx=24 ; old\n; twin\n"},
        {"[ A%20b ]\nkey%20one=1\n", "a b", "Key One", "[ A%20b ]\nkey%20one=24\n"},
        {"x=1\n[A]\n", "A", "x", "x=1\n[A]\nx=24\n"},
        {"[A]\nx=1\nX=2\n[B]\nz=3\n[a]\nx=4\nw=1\n", "a", "x", "[A]\nx=24\n[B]\nz=3\n[a]\nw=1\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString::fromUtf8(withIniValue(c.file, c.section, c.key, "24")), c.written);
}
