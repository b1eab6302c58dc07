#include "app/stretch_window.h"

#include "app/histogram_view.h"
#include "guiding/number_format.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace {
// Slider units: black and white points in camera units of the frame shown, gamma in
// hundredths.
constexpr int kGammaSteps = 100;
} // namespace

StretchWindow::StretchWindow(const StretchChoice& choice, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Display Stretch"));
    setModal(false);
    auto* v = new QVBoxLayout(this);
    cboMode = new QComboBox(this);
    cboMode->addItems(
        {QStringLiteral("Off"), QStringLiteral("Automatic"), QStringLiteral("Manual")});
    cboMode->setToolTip(QStringLiteral("Changes the view only; stars are measured on the frame"));
    v->addWidget(cboMode);
    histogram = new HistogramView(this);
    v->addWidget(histogram, 1);
    auto* grid = new QGridLayout;
    sldBlack = addSlider(grid, 0, QStringLiteral("Black"), 0, maxValue_, lblBlack_);
    sldWhite = addSlider(grid, 1, QStringLiteral("White"), 0, maxValue_, lblWhite_);
    sldGamma = addSlider(grid, 2, QStringLiteral("Gamma"), static_cast<int>(kMinGamma * 100),
                         static_cast<int>(kMaxGamma * 100), lblGamma_);
    v->addLayout(grid);
    cboMode->setCurrentIndex(static_cast<int>(choice.mode));
    mode_ = choice.mode;
    setPoints(choice.black * maxValue_, choice.white * maxValue_);
    sldGamma->setValue(static_cast<int>(std::lround(choice.gamma * kGammaSteps)));
    modeChosen();
    connect(cboMode, &QComboBox::currentIndexChanged, this, &StretchWindow::modeChosen);
    for (QSlider* s : {sldBlack, sldWhite, sldGamma})
        connect(s, &QSlider::valueChanged, this, [this] {
            showValues();
            emit changed();
        });
}

QSlider* StretchWindow::addSlider(QGridLayout* grid, int row, const QString& caption, int min,
                                  int max, QLabel*& value) {
    auto* slider = new QSlider(Qt::Horizontal, this);
    slider->setRange(min, max);
    value = new QLabel(this);
    value->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("65535")));
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    grid->addWidget(new QLabel(caption, this), row, 0);
    grid->addWidget(slider, row, 1);
    grid->addWidget(value, row, 2);
    return slider;
}

StretchChoice StretchWindow::choice() const {
    StretchChoice c;
    c.mode = static_cast<StretchMode>(cboMode->currentIndex());
    c.black = static_cast<double>(sldBlack->value()) / maxValue_;
    c.white = static_cast<double>(sldWhite->value()) / maxValue_;
    c.gamma = static_cast<double>(sldGamma->value()) / kGammaSteps;
    return c;
}

// Manual after Automatic starts from the automatic points, so the view does not jump.
void StretchWindow::modeChosen() {
    const auto mode = static_cast<StretchMode>(cboMode->currentIndex());
    if (mode == StretchMode::Manual && mode_ == StretchMode::Automatic)
        setPoints(levels_.black, levels_.white);
    mode_ = mode;
    sldBlack->setEnabled(mode == StretchMode::Manual);
    sldWhite->setEnabled(mode == StretchMode::Manual);
    sldGamma->setEnabled(mode != StretchMode::Off);
    showValues();
    emit changed();
}

// Camera units to the nearest unit, quietly.
void StretchWindow::setPoints(double black, double white) {
    const QSignalBlocker quietBlack(sldBlack);
    const QSignalBlocker quietWhite(sldWhite);
    sldBlack->setValue(static_cast<int>(std::lround(black)));
    sldWhite->setValue(static_cast<int>(std::lround(white)));
}

// A frame of another depth keeps the points' places in its range.
void StretchWindow::showFrame(const Histogram& frameHistogram, const StretchLevels& levels) {
    if (const int top = std::max(frameHistogram.maxValue(), 1); top != maxValue_) {
        const StretchChoice kept = choice();
        maxValue_ = top;
        for (QSlider* s : {sldBlack, sldWhite}) {
            const QSignalBlocker quiet(s);
            s->setRange(0, top);
        }
        setPoints(kept.black * top, kept.white * top);
    }
    levels_ = levels;
    histogram->showHistogram(frameHistogram, levels);
    showValues();
}

// The points in camera units of the frame shown.
void StretchWindow::showValues() {
    lblBlack_->setText(QString::number(std::lround(levels_.black)));
    lblWhite_->setText(QString::number(std::lround(levels_.white)));
    lblGamma_->setText(formatFixed(static_cast<double>(sldGamma->value()) / kGammaSteps, 2));
}
