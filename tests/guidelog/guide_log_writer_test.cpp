#include "guidelog/guide_log_lines.h"
#include "guidelog/guide_log_writer.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
const QDateTime kStart(QDate(2026, 12, 8), QTime(21, 4, 11));

QString contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void put(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}
} // namespace

// Nothing exists before the first write; then the folder, the file and its first line do.
TEST(GuideLogWriter, CreatesFolderAndFileAtTheFirstWriteOnly) {
    QTemporaryDir home;
    const QString folder = home.filePath("a/b/logs");
    GuideLogWriter writer(folder, kStart, "first");
    EXPECT_FALSE(QDir(folder).exists());
    EXPECT_TRUE(writer.filePath().isEmpty());
    ASSERT_TRUE(writer.write({"", "Guiding Begins at x"}));
    EXPECT_EQ(writer.filePath(), QDir(folder).filePath("Orvalis_GuideLog_2026-12-08_210411.txt"));
    ASSERT_TRUE(writer.write({"1,2"}));
    EXPECT_EQ(contents(writer.filePath()), "first\n\nGuiding Begins at x\n1,2\n");
}

// Two starts in one second, or a file left from elsewhere: the next free copy number.
TEST(GuideLogWriter, NeverOverwritesAnExistingFile) {
    QTemporaryDir folder;
    put(folder.filePath(guideLogFileName(kStart)), "earlier night");
    put(folder.filePath(guideLogFileName(kStart, 2)), "another");
    GuideLogWriter writer(folder.path(), kStart, "first");
    ASSERT_TRUE(writer.write({"line"}));
    EXPECT_EQ(writer.filePath(), folder.filePath(guideLogFileName(kStart, 3)));
    EXPECT_EQ(contents(folder.filePath(guideLogFileName(kStart))), "earlier night");
    EXPECT_EQ(contents(folder.filePath(guideLogFileName(kStart, 2))), "another");
}

// A folder that cannot be made (a file is in the way) stops the writer for good, with why.
TEST(GuideLogWriter, StopsForGoodWhenTheFileCannotBeMade) {
    QTemporaryDir home;
    put(home.filePath("file"), "x");
    GuideLogWriter writer(home.filePath("file/logs"), kStart, "first");
    EXPECT_FALSE(writer.write({"line"}));
    EXPECT_TRUE(writer.stopped());
    EXPECT_TRUE(writer.errorString().contains(home.filePath("file/logs")))
        << writer.errorString().toStdString();
    EXPECT_FALSE(writer.write({"line"}));
    EXPECT_TRUE(writer.filePath().isEmpty());
}

// A disk that fills up, played by the file size limit in a child process: the write that does
// not fit fails and the writer stops.
TEST(GuideLogWriterDeathTest, StopsWhenAWriteDoesNotFit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    QTemporaryDir folder;
    const auto fillUp = [&folder] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        bool behaved = false;
        {
            GuideLogWriter writer(folder.path(), kStart, "first");
            const bool fits = writer.write({"short"});
            const bool tooLong = writer.write({QString(100, 'x')});
            const bool after = writer.write({"x"});
            behaved =
                fits && !tooLong && !after && writer.stopped() && !writer.errorString().isEmpty();
        }
        std::exit(behaved ? 0 : 1);
    };
    EXPECT_EXIT(fillUp(), ::testing::ExitedWithCode(0), "");
}
