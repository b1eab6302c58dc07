#pragma once

#include <QLabel>
#include <QString>
#include <QStringList>

// What the operator can do about a lasting condition from the panel: `link` is the text of the
// link, `action` what the window runs when it is clicked. Empty for a condition the window
// cannot act on.
struct ConditionAction {
    QString link;
    QString action;
};
ConditionAction conditionAction(const QString& key);

// The lasting conditions in full, one a line, each followed by the link to act on it; wraps
// inside the window's width. Hidden while there is none. A link click emits `acted` with the
// action's name.
class ConditionsPanel : public QLabel {
    Q_OBJECT
public:
    explicit ConditionsPanel(QWidget* parent = nullptr);
    // keys and texts as StatusNotes gives them, in the same order.
    void showConditions(const QStringList& keys, const QStringList& texts);
    void setNight(bool night);

signals:
    void acted(const QString& action);
};
