#pragma once

#include <QString>

// Per-user configuration: text values addressed by section and key. Section and key names
// match without regard to letter case.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // The stored text, or defaultText when the key is absent. A read never writes.
    virtual QString readSetting(const QString& section, const QString& key,
                                const QString& defaultText) = 0;

    // Stores text under the key, replacing it whatever the letter case it was stored with.
    // Returns true once the value is durably on disk; false when it could not be saved.
    virtual bool writeSetting(const QString& section, const QString& key, const QString& text) = 0;

    // Writes held back are on disk when this returns (most stores hold none back).
    virtual void flush() {}
};
