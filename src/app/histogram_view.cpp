#include "app/histogram_view.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

HistogramView::HistogramView(QWidget* parent) : QWidget(parent), heights_(kBins, 0.0) {
    setMinimumSize(kBins / 2, 60);
}

void HistogramView::showHistogram(const Histogram& histogram, const StretchLevels& levels) {
    std::vector<double> bins(kBins, 0.0);
    const double range = histogram.maxValue() + 1.0;
    for (size_t v = 0; v < histogram.counts.size(); ++v)
        bins[static_cast<size_t>(static_cast<double>(v) * kBins / range)] +=
            static_cast<double>(histogram.counts[v]);
    double top = 0;
    for (double& b : bins) {
        b = std::log1p(b);
        top = std::max(top, b);
    }
    for (size_t i = 0; i < bins.size(); ++i)
        heights_[i] = top > 0 ? bins[i] / top : 0.0;
    black_ = levels.black / std::max(range - 1, 1.0);
    white_ = levels.white / std::max(range - 1, 1.0);
    update();
}

void HistogramView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), QColor(32, 32, 32));
    const double w = width();
    const double h = height();
    painter.setPen(QColor(170, 170, 170));
    for (int i = 0; i < kBins; ++i) {
        const double x = (i + 0.5) * w / kBins;
        painter.drawLine(QPointF(x, h), QPointF(x, h - heights_[static_cast<size_t>(i)] * h));
    }
    painter.setPen(QColor(80, 140, 255));
    painter.drawLine(QPointF(black_ * w, 0), QPointF(black_ * w, h));
    painter.setPen(QColor(255, 200, 60));
    painter.drawLine(QPointF(white_ * (w - 1), 0), QPointF(white_ * (w - 1), h));
}
