#pragma once

#include "view/display_stretch.h"

#include <QWidget>
#include <vector>

// A small histogram of the frame shown: counts on a logarithmic scale over the frame's range,
// with the stretch's black and white points marked.
class HistogramView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBins = 256;

    explicit HistogramView(QWidget* parent = nullptr);

    void showHistogram(const Histogram& histogram, const StretchLevels& levels);
    QSize sizeHint() const override { return {kBins, 80}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::vector<double> heights_; // kBins values 0..1
    double black_ = 0;            // fractions of the range
    double white_ = 1;
};
