#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
struct SettleResult;

// Guiding > Dither...: moves the guide star's target by a random amount, as an imaging program
// does between exposures, then waits for the star to settle. Not modal.
class DitherWindow : public QDialog {
    Q_OBJECT
public:
    // Runs one dither of `amount` px, RA only or not; returns why it could not, empty when it
    // started.
    using Dither = std::function<QString(double amount, bool raOnly)>;

    static constexpr double kDefaultAmount = 3; // px
    static constexpr double kMaxAmount = 50;    // px

    DitherWindow(Dither dither, QWidget* parent = nullptr);

    // The settle that followed a dither ended.
    void settled(const SettleResult& result);

    QDoubleSpinBox* spnAmount = nullptr;
    QCheckBox* chkRaOnly = nullptr;
    QPushButton* cmdDither = nullptr;
    QLabel* lblResult = nullptr;

private:
    void ditherClicked();

    Dither dither_;
    bool waiting_ = false;
};
