#include "platform/store/write_behind_store.h"

#include <algorithm>

WriteBehindStore::WriteBehindStore(SettingsStore& inner, int delayMs,
                                   std::function<void(bool)> saved, QObject* parent)
    : QObject(parent), inner_(inner), saved_(std::move(saved)) {
    timer_.setSingleShot(true);
    delayMs_ = delayMs;
    connect(&timer_, &QTimer::timeout, this, &WriteBehindStore::flush);
}

WriteBehindStore::~WriteBehindStore() {
    flush();
}

std::vector<WriteBehindStore::Kept>::iterator WriteBehindStore::find(const QString& section,
                                                                     const QString& key) {
    return std::find_if(kept_.begin(), kept_.end(), [&](const Kept& k) {
        return k.section.compare(section, Qt::CaseInsensitive) == 0 &&
               k.key.compare(key, Qt::CaseInsensitive) == 0;
    });
}

QString WriteBehindStore::readSetting(const QString& section, const QString& key,
                                      const QString& defaultText) {
    if (const auto it = find(section, key); it != kept_.end())
        return it->text;
    return inner_.readSetting(section, key, defaultText);
}

bool WriteBehindStore::writeSetting(const QString& section, const QString& key,
                                    const QString& text) {
    const auto it = find(section, key);
    if (holds_ == 0) {
        if (it != kept_.end())
            kept_.erase(it);
        return inner_.writeSetting(section, key, text);
    }
    if (it != kept_.end())
        it->text = text;
    else
        kept_.push_back({section, key, text});
    // Not restarted by later writes: a steady flood still writes once per delay.
    if (!timer_.isActive()) {
        const qint64 since = lastFlush_.isValid() ? lastFlush_.elapsed() : delayMs_;
        timer_.start(static_cast<int>(std::max<qint64>(0, delayMs_ - since)));
    }
    return true;
}

void WriteBehindStore::flush() {
    timer_.stop();
    if (kept_.empty())
        return;
    bool saved = true;
    lastFlush_.start();
    for (const Kept& k : std::exchange(kept_, {}))
        saved = inner_.writeSetting(k.section, k.key, k.text) && saved;
    if (saved_)
        saved_(saved);
}
