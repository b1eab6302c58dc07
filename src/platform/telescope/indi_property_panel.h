#pragma once

#include "platform/telescope/indi_property.h"

#include <QGroupBox>
#include <vector>

class QAbstractButton;
class QButtonGroup;
class QGridLayout;
class QLabel;
class QLineEdit;

// One INDI property in the settings dialog: its state, its elements and, when the property
// may be changed, the controls that ask for a new value. Numbers show their value and a field
// to type a new one (decimal or sexagesimal) with a "Set" button; switches are radio buttons
// when exactly one must be on, check boxes otherwise; texts are read-only fields and lights
// labels.
class IndiPropertyPanel : public QGroupBox {
    Q_OBJECT
public:
    explicit IndiPropertyPanel(const IndiVector& vector, QWidget* parent = nullptr);

    // Shows the values of a newer copy of the same property; typed numbers stay as typed.
    void showValues(const IndiVector& vector);
    const IndiVector& vector() const { return vector_; }

    // Sends the typed numbers (the "Set" button); a text that is no number, or one outside
    // the element's range, is reported in the panel and nothing is sent.
    void sendTypedNumbers();

signals:
    void sendRequested(const IndiVector& changed);

private:
    void buildNumbers(QGridLayout* grid);
    void buildSwitches(QGridLayout* grid);
    void buildReadOnly(QGridLayout* grid);
    void switchClicked(int index, bool checked);
    void showState();

    IndiVector vector_;
    QLabel* state_ = nullptr;
    QLabel* problem_ = nullptr;
    QButtonGroup* radios_ = nullptr;
    std::vector<QLabel*> shown_;    // per element: number value, light state
    std::vector<QLineEdit*> edits_; // per element: typed number, or the read-only text
    std::vector<QAbstractButton*> switches_;
};
