#pragma once

#include "view/stretch_choice.h"

#include <QDialog>

class HistogramView;
class QComboBox;
class QLabel;
class QSlider;

// The display stretch control, not modal: Off, Automatic, or Manual black and white points,
// with the gamma and a histogram of the frame shown. Changes only what the picture shows.
class StretchWindow : public QDialog {
    Q_OBJECT
public:
    explicit StretchWindow(const StretchChoice& choice, QWidget* parent = nullptr);

    // The frame shown, its histogram and the levels the stretch gives it.
    void showFrame(const Histogram& histogram, const StretchLevels& levels);
    StretchChoice choice() const;

    QComboBox* cboMode = nullptr;
    QSlider* sldBlack = nullptr;
    QSlider* sldWhite = nullptr;
    QSlider* sldGamma = nullptr;
    HistogramView* histogram = nullptr;

signals:
    void changed();

private:
    QSlider* addSlider(class QGridLayout* grid, int row, const QString& caption, int min, int max,
                       QLabel*& value);
    void modeChosen();
    void setPoints(double black, double white);
    void showValues();

    QLabel* lblBlack_ = nullptr;
    QLabel* lblWhite_ = nullptr;
    QLabel* lblGamma_ = nullptr;
    StretchMode mode_ = StretchMode::Off;
    int maxValue_ = 255;
    StretchLevels levels_;
};
