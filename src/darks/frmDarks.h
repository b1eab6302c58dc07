#pragma once

#include <QWidget>

class GuideEngine;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;

// Take Darks, not modal: how many darks per exposure, the exposures, the prompt to cover the
// camera, Start and Cancel, and the run's progress. The buttons only call the engine; what is
// shown comes from its signals.
class frmDarks : public QWidget {
    Q_OBJECT
public:
    frmDarks(GuideEngine& engine, QWidget* parent);

    QSpinBox* spnFrames = nullptr;
    QLineEdit* txtExposures = nullptr; // seconds, a list
    QLabel* lblPrompt = nullptr;
    QPushButton* cmdStart = nullptr;
    QPushButton* cmdCancel = nullptr;
    QProgressBar* prgDarks = nullptr;
    QLabel* lblStatus = nullptr;

    // The longest exposure offered, seconds.
    static constexpr double kMaxExposureSec = 600;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void cmdStart_Click();
    QString exposuresProblem() const;
    void checkExposures();
    void cmdCancel_Click();
    void showProgress(int taken, int wanted, double exposureSec);
    void showDone(const QString& text);
    void showState();

    GuideEngine& engine_;
};
