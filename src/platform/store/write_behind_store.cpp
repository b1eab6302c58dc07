#include "platform/store/write_behind_store.h"

#include <algorithm>

WriteBehindStore::WriteBehindStore(SettingsStore& inner, int delayMs,
                                   std::function<void(bool)> saved, QObject* parent)
    : QObject(parent), inner_(inner), saved_(std::move(saved)), delayMs_(delayMs) {
    timer_.setSingleShot(true);
    clock_.start();
    connect(&timer_, &QTimer::timeout, this, &WriteBehindStore::flushIfDue);
}

WriteBehindStore::~WriteBehindStore() {
    flush();
}

WriteBehindStore::Entry* WriteBehindStore::find(const QString& section, const QString& key) {
    const auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.section.compare(section, Qt::CaseInsensitive) == 0 &&
               e.key.compare(key, Qt::CaseInsensitive) == 0;
    });
    return it == entries_.end() ? nullptr : &*it;
}

bool WriteBehindStore::due(const Entry& e) const {
    return e.writtenMs < 0 || clock_.elapsed() - e.writtenMs >= delayMs_;
}

QString WriteBehindStore::readSetting(const QString& section, const QString& key,
                                      const QString& defaultText) {
    if (const Entry* e = find(section, key); e && e->kept)
        return e->text;
    return inner_.readSetting(section, key, defaultText);
}

bool WriteBehindStore::writeSetting(const QString& section, const QString& key,
                                    const QString& text) {
    Entry* e = find(section, key);
    if (holds_ == 0) {
        if (e)
            e->kept = false;
        return inner_.writeSetting(section, key, text);
    }
    if (!e) {
        entries_.push_back({section, key, {}, false, -1});
        e = &entries_.back();
    }
    e->text = text;
    e->kept = true;
    schedule();
    return true;
}

void WriteBehindStore::flushIfDue() {
    write(false);
}

void WriteBehindStore::flush() {
    write(true);
}

void WriteBehindStore::write(bool all) {
    bool any = false, saved = true;
    for (Entry& e : entries_) {
        if (!e.kept || (!all && !due(e)))
            continue;
        e.kept = false;
        e.writtenMs = clock_.elapsed();
        saved = inner_.writeSetting(e.section, e.key, e.text) && saved;
        any = true;
    }
    schedule();
    if (any && saved_)
        saved_(saved);
}

// The timer fires when the first kept value falls due.
void WriteBehindStore::schedule() {
    qint64 wait = -1;
    for (const Entry& e : entries_)
        if (e.kept) {
            const qint64 left = due(e) ? 0 : e.writtenMs + delayMs_ - clock_.elapsed();
            wait = wait < 0 ? left : std::min(wait, left);
        }
    if (wait < 0)
        timer_.stop();
    else if (!timer_.isActive() || timer_.remainingTime() > wait)
        timer_.start(static_cast<int>(wait));
}
