#include "app/frame_picture.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace {
QColor fromColourValue(uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}
} // namespace

FramePicture::FramePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FramePicture::setImage(const QImage& image) {
    frame_.setImage(image);
    overlay_.clear();
    setFixedSize(frame_.image().size());
    update();
}

int32_t FramePicture::Point(float x, float y) const {
    return frame_.Point(x, y);
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
    painter.drawImage(event->rect(), frame_.image(), event->rect());
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
