#include "app/frame_picture.h"

#include "app/night_mode.h"
#include "platform/capture/raw_frame.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace {
QColor fromColourValue(uint32_t v) {
    return QColor(v & 0xFF, (v >> 8) & 0xFF, (v >> 16) & 0xFF);
}

// One wheel notch (120 eighths of a degree) zooms by this factor.
constexpr double kWheelStep = 1.25;
// A middle-button move shorter than this (view pixels) is a click, not a drag.
constexpr int kDragStart = 3;

int buttonNumber(Qt::MouseButton button) {
    switch (button) {
    case Qt::LeftButton:
        return 1;
    case Qt::RightButton:
        return 2;
    case Qt::MiddleButton:
        return 4;
    default:
        return 0;
    }
}
} // namespace

FramePicture::FramePicture(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
}

void FramePicture::setImage(const QImage& image, std::shared_ptr<const RawFrame> raw) {
    frame_.setImage(image);
    const QSize size = frame_.image().size();
    raw_ = raw && QSize(raw->width, raw->height) == size ? std::move(raw) : nullptr;
    overlay_.clear();
    restretch();
    const bool moved = size != map_.frameSize();
    map_.setFrameSize(size);
    update();
    if (moved)
        emit viewChanged();
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

void FramePicture::zoomToFit() {
    map_.fit();
    update();
    emit viewChanged();
}

void FramePicture::setZoom(double scale) {
    map_.setScale(scale);
    update();
    emit viewChanged();
}

void FramePicture::scrollTo(QPointF origin) {
    map_.scrollTo(origin);
    update();
    emit viewChanged();
}

void FramePicture::setStretch(const StretchChoice& choice) {
    stretch_ = choice;
    restretch();
    update();
}

void FramePicture::setNightView(bool night) {
    if (night == night_)
        return;
    night_ = night;
    restretch();
    update();
}

const Histogram& FramePicture::histogram() const {
    if (!histogram_)
        histogram_ = raw_ ? histogramOf(*raw_) : histogramOf(frame_.image());
    return *histogram_;
}

// Off shows the picture as it is (shared, not copied); the other modes map the raw frame
// when there is one, else the picture's channels.
void FramePicture::restretch() {
    histogram_.reset();
    if (stretch_.mode == StretchMode::Off) {
        shown_ = frame_.image();
    } else {
        const std::vector<uint8_t> lut = displayLut(levels(), histogram().maxValue());
        shown_ = raw_ ? stretchedView(*raw_, lut) : stretchedView(frame_.image(), lut);
    }
    if (night_)
        shown_ = nightView(shown_);
    emit stretched();
}

void FramePicture::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    if (map_.scale() == 1.0 && map_.offset().isNull()) {
        painter.drawImage(QPoint(0, 0), shown_);
        drawOverlay(painter, false);
        return;
    }
    painter.translate(map_.offset());
    painter.scale(map_.scale(), map_.scale());
    // Enlarged frame pixels stay sharp squares; a reduced frame is averaged so faint stars
    // are not dropped between screen pixels.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, map_.scale() < 1.0);
    painter.drawImage(QPointF(0, 0), shown_);
    drawOverlay(painter, true);
}

void FramePicture::drawOverlay(QPainter& painter, bool cosmetic) const {
    for (const Shape& s : overlay_) {
        QColor colour = fromColourValue(s.colour);
        if (night_)
            colour = QColor(std::max({colour.red(), colour.green(), colour.blue()}) * 4 / 5, 0, 0);
        QPen pen(colour);
        if (cosmetic)
            pen.setWidth(0);
        painter.setPen(pen);
        if (s.circle)
            painter.drawEllipse(QPointF(s.a, s.b), s.c, s.c);
        else
            painter.drawLine(QPointF(s.a, s.b), QPointF(s.c, s.d));
    }
}

void FramePicture::resizeEvent(QResizeEvent*) {
    map_.setViewSize(size());
    emit viewChanged();
}

void FramePicture::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    map_.zoomAt(std::pow(kWheelStep, notches), event->position());
    update();
    emit viewChanged();
}

void FramePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::MiddleButton)
        return;
    panning_ = true;
    panned_ = false;
    panFrom_ = event->position();
}

void FramePicture::mouseMoveEvent(QMouseEvent* event) {
    if (!panning_)
        return;
    const QPointF delta = event->position() - panFrom_;
    if (!panned_ && delta.manhattanLength() < kDragStart)
        return;
    panned_ = true;
    panFrom_ = event->position();
    map_.panBy(delta);
    update();
    emit viewChanged();
}

void FramePicture::mouseReleaseEvent(QMouseEvent* event) {
    const int button = buttonNumber(event->button());
    if (button == 0)
        return;
    if (button == 4) {
        panning_ = false;
        if (panned_)
            return;
    }
    const QPointF at = map_.toFrame(event->position());
    const QSize size = map_.frameSize();
    if (at.x() < 0 || at.y() < 0 || at.x() >= size.width() || at.y() >= size.height()) {
        emit clickOutside();
        return;
    }
    emit mouseUp(button, static_cast<float>(at.x()), static_cast<float>(at.y()));
}
