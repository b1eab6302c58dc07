#include "app/status_notes.h"

#include <algorithm>

bool StatusNotes::set(const QString& key, const QString& text) {
    for (auto& [k, t] : conditions_)
        if (k == key) {
            if (t == text)
                return false;
            t = text;
            return true;
        }
    conditions_.emplace_back(key, text);
    return true;
}

bool StatusNotes::clear(const QString& key) {
    const auto found = std::find_if(conditions_.begin(), conditions_.end(),
                                    [&](const auto& c) { return c.first == key; });
    if (found == conditions_.end())
        return false;
    conditions_.erase(found);
    return true;
}

bool StatusNotes::has(const QString& key) const {
    return std::any_of(conditions_.begin(), conditions_.end(),
                       [&](const auto& c) { return c.first == key; });
}

QStringList StatusNotes::conditions() const {
    QStringList texts;
    for (const auto& c : conditions_)
        texts << c.second;
    return texts;
}

void StatusNotes::addNote(const QString& text) {
    if (text.isEmpty())
        return;
    recent_.removeAll(text);
    recent_.prepend(text);
    while (recent_.size() > kRecentNotes)
        recent_.removeLast();
}
