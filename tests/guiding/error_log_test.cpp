#include "guiding/error_log.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimeZone>
#include <gtest/gtest.h>

namespace {
const QDateTime kEvening(QDate(2026, 12, 6), QTime(22, 41, 7));

QByteArray contents(const QString& path) {
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return file.readAll();
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

TEST(ErrorLogLine, LocaleDateAndTimeWithoutZoneErrorsWithAPoint) {
    const QLocale us(QLocale::English, QLocale::UnitedStates);
    EXPECT_EQ(errorLogLine(kEvening, 1.6044, -0.8016, us), "12/6/26, 10:41:07 PM, 1.604, -0.802");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(errorLogLine(kEvening, -0.0001, 12.5, german), "06.12.26, 22:41:07, -0.000, 12.500");
    const QDateTime berlin(QDate(2026, 7, 1), QTime(3, 4, 5), QTimeZone("Europe/Berlin"));
    const QString line = errorLogLine(berlin, 0.0, 0.0, german);
    EXPECT_EQ(line, "01.07.26, 03:04:05, 0.000, 0.000");
    for (const char* zone : {"UTC", "GMT", "CEST", "MESZ", "+02"})
        EXPECT_FALSE(line.contains(zone)) << zone;
}

TEST(ErrorLogLine, TimeFormatLosesItsZoneTokenWherePlaced) {
    EXPECT_EQ(logTimeFormat("h:mm:ss AP t"), "h:mm:ss AP");
    EXPECT_EQ(logTimeFormat("HH:mm:ss tttt"), "HH:mm:ss");
    EXPECT_EQ(logTimeFormat("t HH:mm:ss"), "HH:mm:ss");
    EXPECT_EQ(logTimeFormat("H:mm:ss (t)"), "H:mm:ss");
    EXPECT_EQ(logTimeFormat("HH:mm:ss 'at the' t"), "HH:mm:ss 'at the'");
    EXPECT_EQ(logTimeFormat("h:mm AP t"), "HH:mm:ss");  // no seconds
    EXPECT_EQ(logTimeFormat("h:mm 's' t"), "HH:mm:ss"); // a quoted s is no seconds field
    // The locales' own long formats all keep their seconds and lose the zone.
    for (const QLocale& locale :
         {QLocale(QLocale::Chinese, QLocale::China), QLocale(QLocale::Korean, QLocale::SouthKorea),
          QLocale(QLocale::Persian, QLocale::Iran)}) {
        const QString time = locale.toString(QTime(22, 41, 7),
                                             logTimeFormat(locale.timeFormat(QLocale::LongFormat)));
        EXPECT_FALSE(time.contains("UTC")) << time.toStdString();
        EXPECT_FALSE(time.contains("()")) << time.toStdString();
        EXPECT_EQ(time, time.trimmed());
    }
}

TEST(ErrorLogFile, OverwriteEmptiesAppendKeepsLinesEndInCrLf) {
    QTemporaryDir dir;
    const QString path = dir.filePath("guide.log");
    writeFile(path, "old line\r\n");
    ErrorLog log;
    ASSERT_TRUE(log.open(path, false));
    EXPECT_TRUE(log.isOpen());
    EXPECT_EQ(contents(path), "");
    ASSERT_TRUE(log.writeLine("first"));
    EXPECT_EQ(contents(path), "first\r\n"); // on disk before the log closes
    log.close();
    EXPECT_FALSE(log.isOpen());

    ASSERT_TRUE(log.open(path, true));
    ASSERT_TRUE(log.writeLine(QString::fromUtf8("zweite \u00c4nderung")));
    log.close();
    EXPECT_EQ(contents(path), QByteArray("first\r\nzweite \xc3\x84nderung\r\n"));

    const QString fresh = dir.filePath("fresh.log");
    ASSERT_TRUE(log.open(fresh, true)); // append creates a missing file
    EXPECT_TRUE(QFile::exists(fresh));
    ASSERT_TRUE(log.open(path, false)); // opening another file closes the first
    ASSERT_TRUE(log.writeLine("to the first"));
    log.close();
    EXPECT_EQ(contents(fresh), "");
    EXPECT_EQ(contents(path), "to the first\r\n");
}

TEST(ErrorLogFile, OpenFailsWithoutCreatingFolders) {
    QTemporaryDir dir;
    ErrorLog log;
    const QString inMissing = dir.filePath("missing/guide.log");
    for (bool append : {false, true}) {
        EXPECT_FALSE(log.open(inMissing, append));
        EXPECT_FALSE(log.isOpen());
        EXPECT_FALSE(log.errorString().isEmpty());
    }
    EXPECT_FALSE(QDir(dir.filePath("missing")).exists());
    EXPECT_FALSE(log.open(dir.path(), true)); // a folder
    EXPECT_FALSE(log.open("", false));
    EXPECT_FALSE(log.writeLine("nowhere"));
}

// /dev/full accepts opening and fails every write with "no space left on the device".
TEST(ErrorLogFile, AFailedWriteClosesTheLog) {
    ErrorLog log;
    ASSERT_TRUE(log.open("/dev/full", true));
    EXPECT_FALSE(log.writeLine("12/6/26, 10:41:07 PM, 1.604, -0.802"));
    EXPECT_FALSE(log.isOpen());
    EXPECT_FALSE(log.errorString().isEmpty());
    EXPECT_FALSE(log.writeLine("again"));
}
