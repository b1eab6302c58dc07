#pragma once

#include <QPointF>
#include <QRectF>
#include <QSize>
#include <QSizeF>

// Where the frame lies in the picture's view: a scale (view pixels per frame pixel) and an
// offset (view position of the frame's top-left corner). View and frame positions both have
// their origin top left, x right, y down; frame position (x, y) covers frame pixel
// (floor(x), floor(y)).
//
// Fit scales the whole frame into the view, keeping its aspect; a fixed scale keeps its scale
// when the view or frame changes. Along an axis where the scaled frame is narrower than the
// view, the frame sits at the left (top) edge; where it is wider, the offset is held so that no
// empty view shows beyond the frame's edges.
class ViewMapping {
public:
    static constexpr double kMinScale = 0.05;
    static constexpr double kMaxScale = 16.0;

    void setFrameSize(QSize size);
    void setViewSize(QSize size);
    QSize frameSize() const { return frame_; }
    QSize viewSize() const { return view_; }

    // Fit from now on, rescaled whenever the frame or view changes.
    void fit();
    // A fixed scale, held to kMinScale..kMaxScale, about the view's centre.
    void setScale(double scale);
    // Multiplies the scale by `factor` keeping the frame position under `viewPoint` in place
    // (the mouse wheel); leaves Fit.
    void zoomAt(double factor, QPointF viewPoint);
    // Moves the frame by (dx, dy) view pixels, within the limits above.
    void panBy(QPointF delta);
    // Places the frame so that the frame's top-left view offset is -origin (scroll bars).
    void scrollTo(QPointF origin);

    bool fitting() const { return fit_; }
    double scale() const { return scale_; }
    QPointF offset() const { return offset_; }
    // The scaled frame's extent in view pixels.
    QSizeF contentSize() const;
    // Where the whole frame lands in the view.
    QRectF frameRect() const { return {offset_, contentSize()}; }

    QPointF toFrame(QPointF view) const { return (view - offset_) / scale_; }
    QPointF toView(QPointF frame) const { return frame * scale_ + offset_; }

private:
    double fitScale() const;
    void rescale(double scale, QPointF anchorView);
    void holdOffset();

    QSize frame_;
    QSize view_;
    bool fit_ = true;
    double scale_ = 1.0;
    QPointF offset_;
};
