#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <utility>
#include <vector>

// What the status bar has to tell: conditions that last until they end (settings not saved, a
// missing port, a mount that does not answer) and the last few passing notes. A passing note
// never hides a condition; conditions are shown in the order they were raised.
class StatusNotes {
public:
    static constexpr int kRecentNotes = 5;

    // Raises or rewords the condition `key`. Returns whether anything shown changed.
    bool set(const QString& key, const QString& text);
    // Ends the condition `key`. Returns whether it was raised.
    bool clear(const QString& key);
    bool has(const QString& key) const;
    QStringList conditions() const;
    // The keys of conditions(), in the same order.
    QStringList conditionKeys() const;

    // Keeps a passing note; empty texts (a cleared message) are not kept.
    void addNote(const QString& text);
    // Newest first, at most kRecentNotes.
    QStringList recentNotes() const { return recent_; }

private:
    // Position of condition `key`, or conditions_.size() when it is not raised.
    size_t indexOf(const QString& key) const;

    std::vector<std::pair<QString, QString>> conditions_; // key, text
    QStringList recent_;
};
