#include "platform/sleep/thread_sleeper.h"
#include "platform/tools/process_tools.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ProcessTools, FindsOnPathAndStartsTheProgramAsItIsWithoutAShell) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A shell would split this name at the space and read the ';' as a separator.
    QFile script(dir.filePath("info tool;x"));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(("#!/bin/sh\ntouch '" + dir.filePath("ran") + "'\n").toUtf8());
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile(dir.filePath("plain")).open(QIODevice::WriteOnly);
    ProcessTools tools;

    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", dir.path().toLocal8Bit());
    const QStringList found{tools.findExecutable("info tool;x"), tools.findExecutable("plain"),
                            tools.findExecutable("")};
    qputenv("PATH", path);
    EXPECT_EQ(found, (QStringList{script.fileName(), "", ""}));

    EXPECT_TRUE(tools.startDetached(script.fileName()));
    ThreadSleeper sleeper;
    for (int i = 0; i < 500 && !QFileInfo::exists(dir.filePath("ran")); ++i)
        sleeper.sleepMs(10);
    EXPECT_TRUE(QFileInfo::exists(dir.filePath("ran")));
    EXPECT_FALSE(tools.startDetached(dir.filePath("missing")));
    EXPECT_FALSE(tools.startDetached(""));
}
