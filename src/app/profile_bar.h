#pragma once

#include <QWidget>

class GuideEngine;
class QComboBox;
class QLineEdit;
class QPushButton;

// The equipment sets: the one in use chosen from a list, a new one made (a copy of the
// settings in use), the one in use renamed with the name typed or removed.
class ProfileBar : public QWidget {
    Q_OBJECT
public:
    ProfileBar(GuideEngine& engine, QWidget* parent);
    // Lists the sets anew, the one in use shown.
    void refresh();

    QComboBox* cboSet = nullptr;
    QLineEdit* txtName = nullptr;
    QPushButton* cmdNew = nullptr;
    QPushButton* cmdRename = nullptr;
    QPushButton* cmdRemove = nullptr;

signals:
    // What came of a click, for the operator: "" when there is nothing to say.
    void outcome(const QString& text);

private:
    QString inUseName();
    // After a click: the list anew, the name box emptied when it was used, and `done` told, or
    // `refused` followed by `why` when `why` is not empty.
    void tell(const QString& why, const QString& done, const QString& refused);

    GuideEngine& engine_;
};
