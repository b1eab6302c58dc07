#include "fakes/fake_store.h"
#include "settings/setting_keys.h"
#include "view/view_settings.h"

#include <gtest/gtest.h>

TEST(ViewSettings, AbsentKeysGiveFitAndNoStretch) {
    FakeStore store;
    const ViewChoice c = readViewChoice(store);
    EXPECT_FALSE(c.zoom);
    EXPECT_EQ(c.stretch.mode, StretchMode::Off);
    EXPECT_EQ(std::tuple(c.stretch.black, c.stretch.white, c.stretch.gamma),
              std::tuple(0.0, 1.0, 1.0));
    EXPECT_EQ(zoomText(c.zoom), "Fit");
    EXPECT_FALSE(c.night);
}

TEST(ViewSettings, StoredValuesAreReadAndBadOnesGiveTheDefault) {
    FakeStore store;
    store.set("View Options", "Zoom", "200");
    store.set("View Options", "Stretch", "2");
    store.set("View Options", "Black Point", "0.125");
    store.set("View Options", "White Point", "0.5");
    store.set("View Options", "Gamma", "2.2");
    ViewChoice c = readViewChoice(store);
    EXPECT_EQ(c.zoom, 2.0);
    EXPECT_EQ(c.stretch.mode, StretchMode::Manual);
    EXPECT_DOUBLE_EQ(c.stretch.black, 0.125);
    EXPECT_DOUBLE_EQ(c.stretch.white, 0.5);
    EXPECT_NEAR(c.stretch.gamma, 2.2, 1e-6);
    for (const char* night : {"0", "2", "yes", ""}) {
        store.set("View Options", "Night Mode", night);
        EXPECT_FALSE(readViewChoice(store).night) << night;
    }
    store.set("View Options", "Night Mode", "1");
    EXPECT_TRUE(readViewChoice(store).night);
    for (const char* zoom : {"Fit", "abc", "0", "4", "1601"}) {
        store.set("View Options", "Zoom", zoom);
        EXPECT_FALSE(readViewChoice(store).zoom) << zoom;
    }
    store.set("View Options", "Stretch", "3");
    store.set("View Options", "White Point", "1.5");
    store.set("View Options", "Gamma", "9");
    c = readViewChoice(store);
    EXPECT_EQ(c.stretch.mode, StretchMode::Off);
    EXPECT_EQ(c.stretch.white, 1.0);
    EXPECT_EQ(c.stretch.gamma, 1.0);
}

TEST(ViewSettings, WrittenWithAPointAndReadBack) {
    FakeStore store;
    const StretchChoice written{StretchMode::Automatic, 0.0626, 0.75, 1.8};
    saveStretch(written, [&store](const SettingKey& key, const QString& text) {
        store.writeSetting(key.section, key.key, text);
    });
    EXPECT_EQ(store.writes,
              QStringList({"View Options/Stretch=1", "View Options/Black Point=0.063",
                           "View Options/White Point=0.750", "View Options/Gamma=1.80"}));
    const StretchChoice read = readViewChoice(store).stretch;
    EXPECT_EQ(read.mode, StretchMode::Automatic);
    EXPECT_NEAR(read.black, 0.063, 1e-6);
    EXPECT_NEAR(read.gamma, 1.8, 1e-6);
    EXPECT_EQ(zoomText(1.5625), "156");
}
