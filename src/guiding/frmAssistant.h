#pragma once

#include <QWidget>

class GuideEngine;
class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QSpinBox;

// The guiding assistant's window, not modal: how long to record and whether to measure the
// Dec backlash, Start and Stop, the run's progress, then its results and advice in words with
// Apply. Every button only calls the engine; what is shown comes from the engine's signals.
class frmAssistant : public QWidget {
    Q_OBJECT
public:
    frmAssistant(GuideEngine& engine, QWidget* parent);

    QSpinBox* spnDuration = nullptr; // seconds
    QCheckBox* chkBacklash = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdStop = nullptr;
    QPushButton* cmdApply = nullptr;
    QProgressBar* prgRun = nullptr;
    QLabel* lblStatus = nullptr;
    QLabel* lblResults = nullptr;

private:
    void buildControls();
    void cmdStart_Click();
    void cmdApply_Click();
    void showProgress(double elapsedSec, double durationSec);
    void showState();

    GuideEngine& engine_;
};
