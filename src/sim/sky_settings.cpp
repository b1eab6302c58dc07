#include "sim/sky_settings.h"

#include "platform/store/settings_store.h"
#include "settings/convert.h"
#include "sim/sky_simulator.h"

#include <algorithm>

namespace {
const QString kWidthKey = QStringLiteral("Width");
const QString kHeightKey = QStringLiteral("Height");

QString read(SettingsStore& store, const QString& key) {
    return store.readSetting(kSkySettingsSection, key, QString());
}
} // namespace

SkyOptions loadSkyOptions(SettingsStore& store) {
    SkyOptions options;
    for (const SkyOptionField& field : skyOptionFields()) {
        const auto value = toSingle(read(store, QLatin1String(field.key)));
        if (value && *value >= field.min && *value <= field.max)
            options.*field.member = *value;
    }
    if (const auto seed = toWhole(read(store, QLatin1String(kSkySeedKey)), 0, kMaxSkySeed))
        options.seed = static_cast<uint32_t>(*seed);
    return options;
}

QSize loadSkyFrameSize(SettingsStore& store) {
    const auto width = toWhole(read(store, kWidthKey), 1, 65535);
    const auto height = toWhole(read(store, kHeightKey), 1, 65535);
    if (width && height) {
        const QSize stored(static_cast<int>(*width), static_cast<int>(*height));
        if (std::ranges::find(kSkyFrameSizes, stored) != std::end(kSkyFrameSizes))
            return stored;
    }
    return kSkyFrameSizes[0];
}

bool saveSkyOptions(SettingsStore& store, const SkyOptions& options) {
    bool saved = true;
    for (const SkyOptionField& field : skyOptionFields()) {
        const QString text = fromSingle(static_cast<float>(options.*field.member));
        saved = store.writeSetting(kSkySettingsSection, QLatin1String(field.key), text) && saved;
    }
    saved = store.writeSetting(kSkySettingsSection, QLatin1String(kSkySeedKey),
                               fromWhole(options.seed)) &&
            saved;
    return saved;
}

bool saveSkyFrameSize(SettingsStore& store, QSize size) {
    const bool width = store.writeSetting(kSkySettingsSection, kWidthKey, fromWhole(size.width()));
    const bool height =
        store.writeSetting(kSkySettingsSection, kHeightKey, fromWhole(size.height()));
    return width && height;
}

void applySkySettings(SettingsStore& store, SkySimulator& sky) {
    sky.setOptions(loadSkyOptions(store));
    sky.setFrameSize(loadSkyFrameSize(store));
}
