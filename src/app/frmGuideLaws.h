#pragma once

#include <QDialog>

class GuideEngine;
class QComboBox;
class QFormLayout;
class QLabel;

// Guide Law Options: the law of each axis and its parameters, the Dec guide mode and the
// measured Dec backlash. A change takes effect and is stored at once.
class frmGuideLaws : public QDialog {
    Q_OBJECT
public:
    frmGuideLaws(GuideEngine& engine, QWidget* parent);

    QComboBox* cboLaw[2] = {nullptr, nullptr}; // RA, Dec
    QComboBox* cboDecMode = nullptr;

private:
    void showParams(bool dec);
    void lawChosen(bool dec, const QString& name);

    GuideEngine& engine_;
    QFormLayout* params_[2] = {nullptr, nullptr};
};
