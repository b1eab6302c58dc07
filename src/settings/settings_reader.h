#pragma once

#include "settings/setting_keys.h"

#include <cstdint>
#include <optional>

class SettingsStore;

// Reads typed settings. A stored text that does not convert, or lies outside the given range,
// yields the key's start-up default instead, so one bad value never stops a load.
class SettingsReader {
public:
    explicit SettingsReader(SettingsStore& store) : store_(store) {}

    QString text(const SettingKey& key);
    // For keys whose default is computed at run time.
    QString text(const SettingKey& key, const QString& fallback);
    bool flag(const SettingKey& key);
    int64_t whole(const SettingKey& key, int64_t min, int64_t max);
    float single(const SettingKey& key);
    // A bit number 0..7.
    uint8_t bit(const SettingKey& key);
    // A value above zero, or nullopt when the stored text is not one: the caller keeps its
    // current value (pixel sizes and focal length, which must never give an undefined scale).
    std::optional<float> positiveSingle(const SettingKey& key);
    std::optional<int32_t> positiveWhole(const SettingKey& key);

private:
    SettingsStore& store_;
};
