#include "settings/settings_reader.h"

#include "platform/store/settings_store.h"
#include "settings/convert.h"

#include <limits>

QString SettingsReader::text(const SettingKey& key) {
    return text(key, QString::fromUtf8(key.startupDefault));
}

QString SettingsReader::text(const SettingKey& key, const QString& fallback) {
    return store_.readSetting(key.section, key.key, fallback);
}

bool SettingsReader::flag(const SettingKey& key) {
    return toFlag(text(key)).value_or(*toFlag(key.startupDefault));
}

int64_t SettingsReader::whole(const SettingKey& key, int64_t min, int64_t max) {
    return toWhole(text(key), min, max).value_or(*toWhole(key.startupDefault, min, max));
}

float SettingsReader::single(const SettingKey& key) {
    return toSingle(text(key)).value_or(*toSingle(key.startupDefault));
}

uint8_t SettingsReader::bit(const SettingKey& key) {
    return static_cast<uint8_t>(whole(key, 0, 7));
}

std::optional<float> SettingsReader::positiveSingle(const SettingKey& key) {
    const auto value = toSingle(text(key));
    if (!value || !(*value > 0.0f))
        return std::nullopt;
    return value;
}

std::optional<int32_t> SettingsReader::positiveWhole(const SettingKey& key) {
    const auto value = toWhole(text(key), 1, std::numeric_limits<int32_t>::max());
    if (!value)
        return std::nullopt;
    return static_cast<int32_t>(*value);
}
