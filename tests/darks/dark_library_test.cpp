#include "darks/dark_library.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const FrameShape kShape{4, 3, 1, 16, 65535};

DarkFrame darkAt(double sec, float level, FrameShape shape = kShape) {
    DarkFrame dark{shape, sec, 5, QDateTime(QDate(2026, 12, 1), QTime(22, 15)), {}};
    for (size_t i = 0; i < shape.count(); ++i)
        dark.values.push_back(level + 0.25f * static_cast<float>(i));
    return dark;
}

class DarkLibraryTest : public ::testing::Test {
protected:
    void store(const QString& camera, const DarkFrame& dark) {
        QString error;
        ASSERT_TRUE(library.store(camera, dark, &error)) << error.toStdString();
    }
    QTemporaryDir folder;
    DarkLibrary library{folder.path()};
};
} // namespace

TEST_F(DarkLibraryTest, ADarkStoredIsReadBackWholeByTheNextRun) {
    store(QStringLiteral("CCD Simulator"), darkAt(2, 1000));
    DarkLibrary next(folder.path());
    const auto match = next.find(QStringLiteral("CCD Simulator"), kShape, 2);
    ASSERT_TRUE(match);
    const DarkFrame original = darkAt(2, 1000);
    EXPECT_EQ(match->dark->values, original.values);
    EXPECT_EQ(match->dark->shape, kShape);
    EXPECT_EQ(match->dark->frames, 5);
    EXPECT_EQ(match->dark->taken, original.taken);
    EXPECT_EQ(match->scale, 1.0);
    EXPECT_TRUE(match->path.startsWith(folder.path() + "/CCD_Simulator/"));
}

TEST_F(DarkLibraryTest, UsesNoDarkOfAnotherCameraOrShape) {
    store(QStringLiteral("cam A"), darkAt(2, 1000));
    EXPECT_FALSE(library.find(QStringLiteral("cam B"), kShape, 2));
    // Names that differ only where the folder name replaces characters stay apart.
    EXPECT_FALSE(library.find(QStringLiteral("cam/A"), kShape, 2));
    EXPECT_FALSE(library.find(QStringLiteral("cam A"), {8, 6, 1, 16, 65535}, 2));
    EXPECT_FALSE(library.find(QStringLiteral("cam A"), {4, 3, 3, 8, 255}, 2));
    EXPECT_FALSE(library.find(QStringLiteral("cam A"), {4, 3, 1, 8, 255}, 2));
}

TEST_F(DarkLibraryTest, TakesTheNearestExposureWithinAFactorOfTwoScaled) {
    const QString cam = QStringLiteral("cam");
    store(cam, darkAt(1, 100));
    store(cam, darkAt(4, 400));
    EXPECT_EQ(library.find(cam, kShape, 1.005)->scale, 1.0);
    const auto nearer = library.find(cam, kShape, 3);
    ASSERT_TRUE(nearer);
    EXPECT_EQ(nearer->dark->exposureSec, 4);
    EXPECT_DOUBLE_EQ(nearer->scale, 0.75);
    EXPECT_EQ(library.find(cam, kShape, 1.9)->dark->exposureSec, 1);
    EXPECT_FALSE(library.find(cam, kShape, 8.5));
    EXPECT_FALSE(library.find(cam, kShape, 0.4));
    // Taken again, a dark replaces the one of its exposure.
    store(cam, darkAt(4, 50));
    EXPECT_EQ(library.find(cam, kShape, 4)->dark->values[0], 50.0f);
    EXPECT_EQ(library.darksOf(cam).size(), 2u);
}

TEST_F(DarkLibraryTest, SeesDarksAnotherRunStoredAndSkipsBrokenFiles) {
    const QString cam = QStringLiteral("cam");
    store(cam, darkAt(1, 100));
    ASSERT_TRUE(library.find(cam, kShape, 1));
    DarkLibrary other(folder.path());
    QString error;
    ASSERT_TRUE(other.store(cam, darkAt(1, 7), &error));
    EXPECT_EQ(library.find(cam, kShape, 1)->dark->values[0], 7.0f);

    QFile broken(library.cameraFolder(cam) + "/junk.dark");
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a dark");
    broken.close();
    QFile cut(library.cameraFolder(cam) + "/cut.dark");
    QFile whole(library.find(cam, kShape, 1)->path);
    ASSERT_TRUE(whole.open(QIODevice::ReadOnly) && cut.open(QIODevice::WriteOnly));
    cut.write(whole.readAll().chopped(8));
    cut.close();
    DarkLibrary fresh(folder.path());
    EXPECT_EQ(fresh.darksOf(cam).size(), 2u) << "the cut file's header still reads";
    EXPECT_FALSE(readDarkFile(cut.fileName()));
    EXPECT_FALSE(readDarkFile(broken.fileName()));
}
