#pragma once

#include "platform/store/settings_store.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>
#include <vector>

// Passes reads and writes on to another store, except while held: a write made then is kept
// and reaches the other store at the next flushIfDue(), or once the event loop runs again;
// a key written less than the delay ago waits until the delay has passed. A flood of changes
// so costs at most one write per key per delay, and no value is lost: flush() and destruction
// write whatever is kept. Reads see the kept values; a write made while not held goes through
// at once and replaces a kept value of its key.
class WriteBehindStore : public QObject, public SettingsStore {
    Q_OBJECT
public:
    // `saved` hears whether kept values reached the store (false when one failed).
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

    // Writes the kept values whose keys were not written within the delay.
    void flushIfDue();
    // Writes every kept value.
    void flush() override;
    SettingsStore& inner() { return inner_; }

private:
    // A key written while held, kept or not.
    struct Entry {
        QString section, key, text;
        bool kept = false;
        qint64 writtenMs = -1; // on clock_, -1 before its first write
    };
    Entry* find(const QString& section, const QString& key);
    bool due(const Entry& e) const;
    void write(bool all);
    void schedule();

    SettingsStore& inner_;
    std::function<void(bool)> saved_;
    int delayMs_;
    std::vector<Entry> entries_;
    QTimer timer_;
    QElapsedTimer clock_;
    int holds_ = 0;
};
