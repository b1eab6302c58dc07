#include "engine/status_notes.h"

#include <algorithm>

size_t StatusNotes::indexOf(const QString& key) const {
    const auto found = std::find_if(conditions_.begin(), conditions_.end(),
                                    [&](const auto& c) { return c.first == key; });
    return static_cast<size_t>(found - conditions_.begin());
}

bool StatusNotes::set(const QString& key, const QString& text) {
    const size_t i = indexOf(key);
    if (i == conditions_.size()) {
        conditions_.emplace_back(key, text);
        return true;
    }
    if (conditions_[i].second == text)
        return false;
    conditions_[i].second = text;
    return true;
}

bool StatusNotes::clear(const QString& key) {
    const size_t i = indexOf(key);
    if (i == conditions_.size())
        return false;
    conditions_.erase(conditions_.begin() + static_cast<std::ptrdiff_t>(i));
    return true;
}

bool StatusNotes::has(const QString& key) const {
    return indexOf(key) < conditions_.size();
}

QStringList StatusNotes::conditions() const {
    QStringList texts;
    for (const auto& c : conditions_)
        texts << c.second;
    return texts;
}

QStringList StatusNotes::conditionKeys() const {
    QStringList keys;
    for (const auto& c : conditions_)
        keys << c.first;
    return keys;
}

void StatusNotes::addNote(const QString& text) {
    if (text.isEmpty())
        return;
    recent_.removeAll(text);
    recent_.prepend(text);
    while (recent_.size() > kRecentNotes)
        recent_.removeLast();
}
