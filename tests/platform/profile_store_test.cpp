#include "platform/store/profile_store.h"
#include "printers.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
std::vector<QString> names(ProfileStore& store) {
    std::vector<QString> all;
    for (const Profile& p : store.profiles())
        all.push_back(p.name);
    return all;
}
} // namespace

class ProfileStoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString first() const { return dir.filePath("Orvalis/Orvalis.ini"); }
};

// The first set is the settings file as it always was: nothing is written for it until a
// second set is chosen.
TEST_F(ProfileStoreTest, TheFirstSetIsTheUsualFile) {
    ProfileStore store(first());
    EXPECT_EQ(names(store), std::vector<QString>{"Orvalis"});
    ASSERT_TRUE(store.writeSetting("Guiding Options", "Radius", "30"));
    QFile file(first());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("[Guiding%20Options]\nRadius=30\n"));
    EXPECT_FALSE(QDir(dir.filePath("Orvalis/Profiles")).exists());
}

TEST_F(ProfileStoreTest, SetsAreCopiesThatThenGoTheirOwnWay) {
    ProfileStore store(first());
    std::vector<QString> seenRadius; // what the set in use holds when a switch is told
    store.setSelected(
        [&] { seenRadius.push_back(store.readSetting("Guiding Options", "Radius", "24")); });
    store.writeSetting("Guiding Options", "Radius", "30");
    const auto second = store.add("Newtonian");
    ASSERT_TRUE(second);
    EXPECT_EQ(*second, 2);
    EXPECT_EQ(store.current().id, 1); // made, not chosen
    ASSERT_TRUE(store.select(2));
    EXPECT_EQ(store.readSetting("Guiding Options", "Radius", "24"), "30");
    store.writeSetting("Guiding Options", "Radius", "12");
    const auto third = store.add("Travel");
    ASSERT_TRUE(third);
    ASSERT_TRUE(store.select(*third));
    EXPECT_EQ(store.readSetting("Guiding Options", "Radius", "24"), "12"); // from the set in use
    EXPECT_EQ(store.current().name, "Travel");

    ASSERT_TRUE(store.select(1));
    EXPECT_EQ(store.readSetting("Guiding Options", "Radius", "24"), "30");
    ASSERT_TRUE(store.select(1)); // no change, nothing told
    EXPECT_EQ(seenRadius, (std::vector<QString>{"30", "12", "30"}));
    ASSERT_TRUE(store.rename(1, "Home pier"));
    EXPECT_EQ(names(store), (std::vector<QString>{"Home pier", "Newtonian", "Travel"}));
    ASSERT_TRUE(store.select(2));
    // Another store on the same file (the next start) opens the set last chosen.
    ProfileStore next(first());
    EXPECT_EQ(next.current().name, "Newtonian");
    EXPECT_EQ(next.readSetting("Guiding Options", "Radius", "24"), "12");
}

TEST_F(ProfileStoreTest, BadNamesAndUnknownSetsAreRefusedWithAReason) {
    ProfileStore store(first());
    ASSERT_TRUE(store.add("Dob"));
    EXPECT_FALSE(store.add("  "));
    EXPECT_FALSE(store.add("dob"));
    EXPECT_NE(store.lastError().indexOf("already"), -1);
    EXPECT_FALSE(store.add(QString(61, 'x')));
    EXPECT_FALSE(store.rename(1, "DOB"));
    EXPECT_TRUE(store.rename(2, "DOB")); // its own name in other letters
    EXPECT_FALSE(store.remove(1));
    ASSERT_TRUE(store.select(2));
    EXPECT_FALSE(store.remove(2)); // in use
    ASSERT_TRUE(store.select(1));
    EXPECT_FALSE(store.select(7));
    EXPECT_FALSE(store.select(-1));
    EXPECT_EQ(store.current().id, 1);
    EXPECT_EQ(store.profiles().size(), 2u);
    ASSERT_TRUE(store.remove(2));
    EXPECT_EQ(store.profiles().size(), 1u);
    EXPECT_FALSE(store.select(2));
    EXPECT_FALSE(store.remove(2));
}

// A chosen set whose file is gone leaves the first set in use rather than an empty one.
TEST_F(ProfileStoreTest, AChosenSetThatIsGoneFallsBackToTheFirst) {
    {
        ProfileStore store(first());
        store.writeSetting("Camera Options", "Exposure", "3");
        ASSERT_TRUE(store.add("Gone"));
        ASSERT_TRUE(store.select(2));
    }
    ASSERT_TRUE(QFile::remove(dir.filePath("Orvalis/Profiles/2.ini")));
    ProfileStore store(first());
    EXPECT_EQ(store.current().id, 1);
    EXPECT_EQ(store.readSetting("Camera Options", "Exposure", "1"), "3");
}
