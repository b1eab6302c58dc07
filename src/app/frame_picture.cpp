#include "app/frame_picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

namespace {
QColor fromColourValue(uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}
} // namespace

FramePicture::FramePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FramePicture::setImage(const QImage& image) {
    image_ = image.format() == QImage::Format_RGB32 ? image
                                                    : image.convertToFormat(QImage::Format_RGB32);
    overlay_.clear();
    setFixedSize(image_.size());
    update();
}

// A fractional column blends the two neighbouring pixels, weights 1 - f and f on each colour
// channel (rounded to whole levels), so a centroid searched around a fractional position is not
// shifted by the fraction. Whole columns, and rows, read the pixel itself; the last column reads
// itself at any fraction.
int32_t FramePicture::Point(float x, float y) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    if (!(fx >= 0 && fy >= 0 && fx < image_.width() && fy < image_.height()))
        return -1;
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(int(fy)));
    const int column = int(fx);
    const QRgb left = row[column];
    const float f = x - fx;
    if (f == 0.0f || column + 1 >= image_.width())
        return static_cast<int32_t>(qRed(left) | (qGreen(left) << 8) | (qBlue(left) << 16));
    const QRgb right = row[column + 1];
    const auto blend = [f](int a, int b) {
        return static_cast<int32_t>(std::lround((1.0f - f) * float(a) + f * float(b)));
    };
    return blend(qRed(left), qRed(right)) | (blend(qGreen(left), qGreen(right)) << 8) |
           (blend(qBlue(left), qBlue(right)) << 16);
}

void FramePicture::drawLine(float x1, float y1, float x2, float y2, uint32_t colour) {
    overlay_.push_back({false, x1, y1, x2, y2, colour});
    update();
}

void FramePicture::drawCircle(float cx, float cy, float radius, uint32_t colour) {
    overlay_.push_back({true, cx, cy, radius, 0, colour});
    update();
}

void FramePicture::clearOverlay() {
    overlay_.clear();
    update();
}

void FramePicture::refresh() {
    repaint();
}

void FramePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.drawImage(event->rect(), image_, event->rect());
    for (const Shape& s : overlay_) {
        painter.setPen(fromColourValue(s.colour));
        if (s.circle)
            painter.drawEllipse(QPointF(s.a, s.b), s.c, s.c);
        else
            painter.drawLine(QPointF(s.a, s.b), QPointF(s.c, s.d));
    }
}

void FramePicture::mouseReleaseEvent(QMouseEvent* event) {
    int button = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        button = 1;
        break;
    case Qt::RightButton:
        button = 2;
        break;
    case Qt::MiddleButton:
        button = 4;
        break;
    default:
        return;
    }
    const QPointF at = event->position();
    emit mouseUp(button, static_cast<float>(at.x()), static_cast<float>(at.y()));
}
