#include "graph/star_view.h"

#include "app/night_mode.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kSide = StarView::kCrop * StarView::kZoom;
}

QImage stretchedCrop(const QImage& frame, double x, double y, int side) {
    const int left = static_cast<int>(std::lround(x)) - side / 2;
    const int top = static_cast<int>(std::lround(y)) - side / 2;
    std::vector<int> grey(static_cast<size_t>(side * side), -1);
    int lo = 255, hi = 0;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            if (!frame.valid(left + c, top + r))
                continue;
            const int g = qGray(frame.pixel(left + c, top + r));
            grey[static_cast<size_t>(r * side + c)] = g;
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
    QImage out(side, side, QImage::Format_Grayscale8);
    out.fill(0);
    const double gain = hi > lo ? 255.0 / (hi - lo) : 0.0;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const int g = grey[static_cast<size_t>(r * side + c)];
            if (g >= 0)
                out.scanLine(r)[c] = static_cast<uchar>(std::lround((g - lo) * gain));
        }
    return out;
}

StarView::StarView(QWidget* parent) : QWidget(parent), mark_(-1, -1) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(kSide + 8, 0, 0, 0);
    lblPeak = new QLabel(this);
    lblSnr = new QLabel(this);
    lblHfd = new QLabel(this);
    lblSaturated = new QLabel(this);
    lblPeak->setToolTip("Brightest pixel above the background, in ADU (0-255 frame)");
    lblSnr->setToolTip("Star signal over the noise of background and star");
    lblHfd->setToolTip("Half-flux diameter in frame pixels");
    lblSaturated->setStyleSheet("color: rgb(208, 32, 32); font-weight: bold;");
    for (QLabel* l : {lblPeak, lblSnr, lblHfd, lblSaturated})
        v->addWidget(l);
    v->addStretch(1);
    setMinimumSize(kSide + 100, kSide);
    clear();
}

void StarView::showStar(const QImage& frame, double x, double y, const StarMeasures& m) {
    crop_ = stretchedCrop(frame, x, y, kCrop);
    mark_ = QPointF(x - (std::lround(x) - kCrop / 2), y - (std::lround(y) - kCrop / 2));
    lost_ = false;
    lblPeak->setText(QStringLiteral("Peak %1 ADU").arg(m.peak, 0, 'f', 0));
    lblSnr->setText(m.valid ? QStringLiteral("SNR %1").arg(m.snr, 0, 'f', 1) : "SNR -");
    lblHfd->setText(m.valid ? QStringLiteral("HFD %1 px").arg(m.hfd, 0, 'f', 2) : "HFD -");
    lblSaturated->setText(m.saturated ? "saturated" : QString());
    update();
}

void StarView::showLost() {
    lost_ = true;
    for (QLabel* l : {lblPeak, lblSnr, lblHfd, lblSaturated})
        l->clear();
    lblPeak->setText("star lost");
    update();
}

void StarView::clear() {
    crop_ = QImage();
    mark_ = QPointF(-1, -1);
    lost_ = false;
    for (QLabel* l : {lblPeak, lblSnr, lblHfd, lblSaturated})
        l->clear();
    update();
}

void StarView::setNight(bool night) {
    night_ = night;
    update();
}

void StarView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect box(0, 0, kSide, kSide);
    p.fillRect(box, Qt::black);
    if (crop_.isNull())
        return;
    p.drawImage(box, night_ ? nightView(crop_) : crop_);
    if (lost_) {
        p.fillRect(box, QColor(0, 0, 0, 150));
        return;
    }
    // The centre of crop pixel c lies at screen (c + 0.5) * zoom.
    const QPointF at((mark_.x() + 0.5) * kZoom, (mark_.y() + 0.5) * kZoom);
    p.setPen(QPen(night_ ? QColor(170, 0, 0) : QColor(0, 220, 0), 1));
    p.drawLine(at - QPointF(8, 0), at - QPointF(3, 0));
    p.drawLine(at + QPointF(3, 0), at + QPointF(8, 0));
    p.drawLine(at - QPointF(0, 8), at - QPointF(0, 3));
    p.drawLine(at + QPointF(0, 3), at + QPointF(0, 8));
}
