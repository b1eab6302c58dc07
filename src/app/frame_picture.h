#pragma once

#include "measure/AIP.h"
#include "measure/frame_image.h"
#include "view/stretch_choice.h"
#include "view/view_mapping.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

struct RawFrame;

// The frame picture: shows the last frame scaled into the space it is given (see ViewMapping:
// Fit by default, or a fixed zoom, panned with the middle button), through the display stretch.
// Every position it reports or takes is a frame pixel (origin top left, x right, y down). Lines
// and circles are drawn on a separate overlay layer that a new frame clears; the point query
// reads the frame alone, so neither overlays nor the stretch bias a measurement.
class FramePicture : public QWidget, public StarPicture {
    Q_OBJECT
public:
    // The space the window gives the picture at its natural size: one screen pixel per pixel
    // of a 640 x 480 frame.
    static constexpr QSize kNaturalSize{640, 480};

    explicit FramePicture(QWidget* parent = nullptr);

    // Replaces the frame (kept as RGB32) and clears the overlay. `raw`, when it has the
    // frame's size, gives the camera's full-depth values to the display stretch.
    void setImage(const QImage& image, std::shared_ptr<const RawFrame> raw = nullptr);
    const QImage& image() const { return frame_.image(); }
    // What is on the screen for the frame: the image through the display stretch.
    const QImage& shownImage() const { return shown_; }

    // Colour of the frame pixel at (floor(x), floor(y)) as 0x00BBGGRR, or -1 outside the frame.
    int32_t Point(float x, float y) const override;

    // Overlay drawing; colours are 0x00BBGGRR values, positions frame pixels.
    void drawLine(float x1, float y1, float x2, float y2, uint32_t colour);
    void drawCircle(float cx, float cy, float radius, uint32_t colour);
    void clearOverlay();
    // Repaints at once, also while the caller keeps the thread busy.
    void refresh() override;

    const ViewMapping& mapping() const { return map_; }
    void zoomToFit();
    void setZoom(double scale);
    // Scroll bar positions: the view's top-left corner in scaled-frame pixels.
    void scrollTo(QPointF origin);

    void setStretch(const StretchChoice& choice);
    const StretchChoice& stretch() const { return stretch_; }
    // Night: the picture and its overlay shown as dim red (see nightView); the frame and the
    // point query stay as they are.
    void setNightView(bool night);
    bool nightShown() const { return night_; }
    // The histogram and levels of the frame shown (camera units when the frame has full
    // depth, else grey levels 0..255); counted when first asked for.
    const Histogram& histogram() const;
    StretchLevels levels() const { return levelsFor(stretch_, histogram()); }

    QSize sizeHint() const override { return kNaturalSize; }
    QSize minimumSizeHint() const override { return {160, 120}; }

signals:
    // A mouse button released over the frame: 1 left, 2 right, 4 middle; frame pixels. A
    // release outside the frame, or ending a middle-button drag, is not reported.
    void mouseUp(int button, float x, float y);
    // A click outside the frame (the empty space beside a fitted or zoomed-out frame).
    void clickOutside();
    // The scale or position of the frame in the view changed.
    void viewChanged();
    // A new frame or stretch: histogram() and levels() are new.
    void stretched();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Shape {
        bool circle;
        float a, b, c, d; // line: x1 y1 x2 y2; circle: cx cy radius
        uint32_t colour;
    };
    void restretch();
    void drawOverlay(QPainter& painter, bool cosmetic) const;

    FrameImage frame_;
    std::shared_ptr<const RawFrame> raw_;
    QImage shown_;
    StretchChoice stretch_;
    mutable std::optional<Histogram> histogram_;
    ViewMapping map_;
    std::vector<Shape> overlay_;
    QPointF panFrom_;
    bool panning_ = false;
    bool panned_ = false;
    bool night_ = false;
};
