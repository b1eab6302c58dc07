#pragma once

#include "platform/store/settings_store.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

// Passes reads and writes on to another store, except while held: a write made then is kept
// and written with the others kept once the event loop runs again, or, when the last such
// write was less than the delay ago, once the delay has passed since it (or at flush() or
// destruction). A flood of changes so costs at most one write per key per delay, and no value
// is lost. Reads see the kept values; a write made while not held replaces a kept value of its
// key.
class WriteBehindStore : public QObject, public SettingsStore {
    Q_OBJECT
public:
    // `saved` hears whether a delayed write reached the store (false when one failed).
    WriteBehindStore(SettingsStore& inner, int delayMs, std::function<void(bool saved)> saved,
                     QObject* parent = nullptr);
    ~WriteBehindStore() override;

    // Writes are kept while at least one Hold lives.
    class Hold {
    public:
        explicit Hold(WriteBehindStore& store) : store_(store) { ++store_.holds_; }
        ~Hold() { --store_.holds_; }
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;

    private:
        WriteBehindStore& store_;
    };

    QString readSetting(const QString& section, const QString& key,
                        const QString& defaultText) override;
    // While held: kept, and true. Otherwise the other store's answer.
    bool writeSetting(const QString& section, const QString& key, const QString& text) override;

    void flush();
    int kept() const { return static_cast<int>(kept_.size()); }
    SettingsStore& inner() { return inner_; }

private:
    struct Kept {
        QString section, key, text;
    };
    std::vector<Kept>::iterator find(const QString& section, const QString& key);

    SettingsStore& inner_;
    std::function<void(bool)> saved_;
    std::vector<Kept> kept_; // in the order first written
    QTimer timer_;
    int delayMs_ = 0;
    QElapsedTimer lastFlush_; // since the last write of kept values
    int holds_ = 0;
};
