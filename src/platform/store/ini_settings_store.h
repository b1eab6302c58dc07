#pragma once

#include "platform/store/settings_store.h"

#include <QDateTime>
#include <QSettings>
#include <memory>

// The settings store as an INI file. Every write is on disk at once, through an atomic replace
// of the whole file, so a crash never leaves it truncated. A write changes the key's line only:
// everything else in the file (comments, order, spelling, text in other encodings) stays.
//
// A file that cannot be parsed is never overwritten: it is renamed to "<file>.bad" (or
// "<file>.bad.2", ...) before anything is read, and the store starts empty.
class IniSettingsStore : public SettingsStore {
public:
    explicit IniSettingsStore(const QString& path);
    ~IniSettingsStore() override;

    // $XDG_CONFIG_HOME/Orvalis/Orvalis.ini, with ~/.config when XDG_CONFIG_HOME is unset.
    static QString defaultPath();

    QString readSetting(const QString& section, const QString& key,
                        const QString& defaultText) override;
    bool writeSetting(const QString& section, const QString& key, const QString& text) override;

    // Where an unreadable file was kept, or "" when the file was fine.
    QString keptUnreadableAs() const { return keptAs_; }
    // For the operator: the settings file set aside and defaults in use; empty when it was read.
    QString unreadableNote() const;
    // Why the last write failed, or "" after a successful one.
    QString lastError() const { return lastError_; }

private:
    void setAsideIfUnreadable();
    QString findKey(const QString& group, const QString& key) const;
    bool failed();
    void markChanged(const QDateTime& beforeTime);

    QString path_;
    QString keptAs_;
    QString lastError_;
    std::unique_ptr<QSettings> settings_;
};
