#include "view/view_mapping.h"

#include <algorithm>

void ViewMapping::setFrameSize(QSize size) {
    if (size == frame_)
        return;
    frame_ = size;
    if (fit_)
        scale_ = fitScale();
    holdOffset();
}

void ViewMapping::setViewSize(QSize size) {
    if (size == view_)
        return;
    view_ = size;
    if (fit_)
        scale_ = fitScale();
    holdOffset();
}

void ViewMapping::fit() {
    fit_ = true;
    scale_ = fitScale();
    offset_ = {};
    holdOffset();
}

void ViewMapping::setScale(double scale) {
    fit_ = false;
    rescale(scale, QPointF(view_.width() / 2.0, view_.height() / 2.0));
}

void ViewMapping::zoomAt(double factor, QPointF viewPoint) {
    fit_ = false;
    rescale(scale_ * factor, viewPoint);
}

void ViewMapping::panBy(QPointF delta) {
    offset_ += delta;
    holdOffset();
}

void ViewMapping::scrollTo(QPointF origin) {
    offset_ = -origin;
    holdOffset();
}

QSizeF ViewMapping::contentSize() const {
    return QSizeF(frame_) * scale_;
}

// An empty frame or view keeps scale 1, so positions stay frame pixels.
double ViewMapping::fitScale() const {
    if (frame_.isEmpty() || view_.isEmpty())
        return 1.0;
    const double scale = std::min(static_cast<double>(view_.width()) / frame_.width(),
                                  static_cast<double>(view_.height()) / frame_.height());
    return std::clamp(scale, kMinScale, kMaxScale);
}

void ViewMapping::rescale(double scale, QPointF anchorView) {
    const QPointF anchorFrame = toFrame(anchorView);
    scale_ = std::clamp(scale, kMinScale, kMaxScale);
    offset_ = anchorView - anchorFrame * scale_;
    holdOffset();
}

void ViewMapping::holdOffset() {
    const QSizeF content = contentSize();
    const auto hold = [](double offset, double content, double view) {
        return content <= view ? 0.0 : std::clamp(offset, view - content, 0.0);
    };
    offset_.setX(hold(offset_.x(), content.width(), view_.width()));
    offset_.setY(hold(offset_.y(), content.height(), view_.height()));
}
