#pragma once

#include "platform/store/ini_settings_store.h"

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct Profile {
    int id = 0;
    QString name;
};

// Named equipment sets, each with every setting of its own. Set 1 is the settings file the
// program has always used; the others are "Profiles/<id>.ini" in the same folder. Each file
// names its set under [Profile] "Name" (set 1 is "Orvalis" until renamed); the first file's
// [Profile] "Selected" holds the set in use. Reads and writes go to the set in use.
class ProfileStore : public SettingsStore {
public:
    explicit ProfileStore(const QString& firstPath);
    ~ProfileStore() override;

    QString readSetting(const QString& section, const QString& key,
                        const QString& defaultText) override;
    bool writeSetting(const QString& section, const QString& key, const QString& text) override;

    // Every set by id, the first one first.
    std::vector<Profile> profiles();
    Profile current();
    // Makes `id` the set in use (remembered for the next start). False when there is none.
    bool select(int id);
    // Called once another set is in use, before select() returns.
    void setSelected(std::function<void()> selected) { selected_ = std::move(selected); }
    // A new set, starting as a copy of the settings in use; its id, or nullopt with lastError().
    std::optional<int> add(const QString& name);
    bool rename(int id, const QString& name);
    // A set neither first nor in use stops being one; its file is kept as "<id>.ini.removed".
    bool remove(int id);
    // Why the last change of the sets (or the last write) failed.
    QString lastError() const { return lastError_; }
    QString unreadableNote() const;

    static constexpr int kFirstId = 1;

private:
    QString pathOf(int id) const;
    QString nameOf(int id);
    QString nameProblem(const QString& name, int except);
    bool refuse(const QString& why);
    IniSettingsStore& inUse() { return current_ ? *current_ : first_; }

    QString firstPath_;
    QString folder_;
    IniSettingsStore first_;
    std::unique_ptr<IniSettingsStore> current_; // null while the first set is in use
    int currentId_ = kFirstId;
    QString lastError_;
    std::function<void()> selected_;
};
