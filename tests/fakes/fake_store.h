#pragma once

#include "platform/store/settings_store.h"

#include <QStringList>
#include <map>
#include <utility>

// In-memory settings store with the real store's case rules; records every read and write.
class FakeStore : public SettingsStore {
public:
    QString readSetting(const QString& section, const QString& key,
                        const QString& defaultText) override {
        reads.append(section + "/" + key);
        auto it = values.find(id(section, key));
        return it == values.end() ? defaultText : it->second;
    }
    bool writeSetting(const QString& section, const QString& key, const QString& text) override {
        writes.append(section + "/" + key + "=" + text);
        if (failWrites)
            return false;
        values[id(section, key)] = text;
        return true;
    }

    void set(const QString& section, const QString& key, const QString& text) {
        values[id(section, key)] = text;
    }
    QString get(const QString& section, const QString& key) const {
        auto it = values.find(id(section, key));
        return it == values.end() ? QStringLiteral("<absent>") : it->second;
    }
    QStringList writesOf(const QString& section, const QString& key) const {
        QStringList found;
        const QString prefix = (section + "/" + key + "=").toLower();
        for (const QString& w : writes)
            if (w.toLower().startsWith(prefix))
                found.append(w.mid(prefix.size()));
        return found;
    }

    std::map<std::pair<QString, QString>, QString> values;
    QStringList reads;
    QStringList writes;
    bool failWrites = false;

private:
    static std::pair<QString, QString> id(const QString& section, const QString& key) {
        return {section.toLower(), key.toLower()};
    }
};
