#include "platform/sound/qt_sound.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

static QString touch(const QString& dir, const QString& name) {
    QFile file(QDir(dir).filePath(name));
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    return QDir::cleanPath(file.fileName());
}

TEST(SoundFile, RelativeNamesTakeTheFirstFolderHoldingTheFileAbsoluteOnesStay) {
    QTemporaryDir program, share;
    ASSERT_TRUE(program.isValid() && share.isValid());
    const QString own = touch(program.path(), "alarm.wav");
    const QString shared = touch(share.path(), "alarm.wav");
    const QString onlyShared = touch(share.path(), "beep.wav");
    QDir(program.path()).mkdir("lost.wav");
    const QStringList folders{program.path(), share.path() + "/"};

    EXPECT_EQ(resolveSoundFile("alarm.wav", folders), own);
    EXPECT_EQ(resolveSoundFile("beep.wav", folders), onlyShared);
    // A folder of that name is no sound file.
    EXPECT_EQ(resolveSoundFile("lost.wav", folders), "");
    EXPECT_EQ(resolveSoundFile("missing.wav", folders), "");
    EXPECT_EQ(resolveSoundFile("", folders), "");
    EXPECT_EQ(resolveSoundFile(shared, {program.path()}), shared);
    EXPECT_EQ(resolveSoundFile(share.path() + "/none.wav", {share.path()}), "");

    EXPECT_NO_THROW(QtSound(folders).play("missing.wav"));
}
