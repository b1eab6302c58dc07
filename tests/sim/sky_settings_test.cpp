#include "fakes/fake_store.h"
#include "printers.h"
#include "sim/sky_settings.h"
#include "sim/sky_simulator.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {
const QString kSection = "Simulator Options";

SkyOptions unusual() {
    return {120, 3.25, 0, -12.5, 0.75, 15, 600, -45, 7.5, 1.6, 4242};
}

void expectSame(const SkyOptions& a, const SkyOptions& b) {
    for (const SkyOptionField& field : skyOptionFields())
        EXPECT_FLOAT_EQ(a.*field.member, b.*field.member) << field.key;
    EXPECT_EQ(a.seed, b.seed);
}
} // namespace

TEST(SkySettings, OptionsAndFrameSizeRoundTripWithPointsWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    FakeStore store;
    EXPECT_TRUE(saveSkyOptions(store, unusual()));
    EXPECT_TRUE(saveSkyFrameSize(store, {320, 240}));
    QLocale::setDefault(saved);
    EXPECT_EQ(store.get("simulator options", "seeing"), "3.25");
    EXPECT_EQ(store.get(kSection, "RA Drift"), "-12.5");
    EXPECT_EQ(store.get(kSection, "Seed"), "4242");
    EXPECT_EQ(store.get(kSection, "Width"), "320");
    EXPECT_EQ(store.get(kSection, "Height"), "240");
    expectSame(loadSkyOptions(store), unusual());
    EXPECT_EQ(loadSkyFrameSize(store), QSize(320, 240));

    SkySimulator sky({}, std::make_shared<ManualSimClock>());
    applySkySettings(store, sky);
    expectSame(sky.options(), unusual());
    EXPECT_EQ(sky.frameSize(), QSize(320, 240));

    // A failed save is reported, but every value is still tried.
    store.failWrites = true;
    store.writes.clear();
    EXPECT_FALSE(saveSkyOptions(store, unusual()));
    EXPECT_FALSE(saveSkyFrameSize(store, {320, 240}));
    EXPECT_EQ(store.writes.size(), 13);
}

TEST(SkySettings, MissingBadOrOutOfRangeTextsKeepTheDefaults) {
    FakeStore store;
    expectSame(loadSkyOptions(store), SkyOptions());
    EXPECT_EQ(loadSkyFrameSize(store), QSize(640, 480));
    EXPECT_TRUE(store.writes.isEmpty());
    const std::pair<const char*, const char*> bad[] = {
        {"Star Brightness", "300"}, {"Seeing", "abc"},       {"Noise", "-1"},
        {"RA Drift", "5,5"},        {"Dec Drift", ""},       {"PE Amplitude", "1e39"},
        {"PE Period", "0"},         {"Camera Angle", "nan"}, {"Guide Rate", "0"},
        {"Image Scale", "-0.8"},    {"Seed", "2.5"},         {"Width", "800"},
        {"Height", "600"}};
    for (auto [key, text] : bad)
        store.set(kSection, key, text);
    expectSame(loadSkyOptions(store), SkyOptions());
    EXPECT_EQ(loadSkyFrameSize(store), QSize(640, 480));
    // One good value among bad ones still loads; a size is taken only as a whole pair.
    store.set(kSection, "seeing", " 4.5 ");
    store.set(kSection, "Width", "320");
    EXPECT_FLOAT_EQ(loadSkyOptions(store).seeing, 4.5);
    EXPECT_EQ(loadSkyFrameSize(store), QSize(640, 480));
    store.set(kSection, "Seed", "-3");
    EXPECT_EQ(loadSkyOptions(store).seed, 1u);
}

TEST(SkySettings, SimulatorKeepsOptionsWithinTheirRanges) {
    SkyOptions wild;
    wild.seeing = -1;
    wild.imageScale = 0;
    wild.starBrightness = 1000;
    wild.noise = std::nan("");
    SkySimulator sky(wild, std::make_shared<ManualSimClock>());
    EXPECT_DOUBLE_EQ(sky.options().seeing, 0.3);
    EXPECT_DOUBLE_EQ(sky.options().imageScale, 0.05);
    EXPECT_DOUBLE_EQ(sky.options().starBrightness, 255);
    EXPECT_DOUBLE_EQ(sky.options().noise, 3);
    sky.setFrameSize({0, 480});
    sky.setFrameSize({100000, 480});
    EXPECT_EQ(sky.frameSize(), QSize(640, 480));
    EXPECT_TRUE(sky.render({0, 0}).isNull());
    EXPECT_TRUE(std::isfinite(sky.guideStarPosition().x()));
}
