#include "app/frame_picture.h"

#include <QPaintEvent>
#include <QPainter>

FramePicture::FramePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void FramePicture::setImage(const QImage& image) {
    image_ = image;
    setFixedSize(image_.size());
    update();
}

void FramePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(event->rect(), image_, event->rect());
}
