#pragma once

#include "measure/AIP.h"
#include "measure/frame_image.h"

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <vector>

// The frame picture: shows the last frame at one screen pixel per frame pixel, so every
// position in it is a frame pixel (origin top left, x right, y down). Lines and circles are
// drawn on a separate overlay layer that a new frame clears; the point query reads the frame
// alone, so overlays never bias a measurement.
class FramePicture : public QWidget, public StarPicture {
    Q_OBJECT
public:
    explicit FramePicture(QWidget* parent = nullptr);

    // Replaces the frame (kept as RGB32) and clears the overlay.
    void setImage(const QImage& image);
    const QImage& image() const { return frame_.image(); }

    // Colour of the frame pixel at (floor(x), floor(y)) as 0x00BBGGRR, or -1 outside the frame.
    int32_t Point(float x, float y) const override;

    // Overlay drawing; colours are 0x00BBGGRR values, positions frame pixels.
    void drawLine(float x1, float y1, float x2, float y2, uint32_t colour);
    void drawCircle(float cx, float cy, float radius, uint32_t colour);
    void clearOverlay();
    // Repaints at once, also while the caller keeps the thread busy.
    void refresh() override;

    QSize sizeHint() const override { return frame_.image().size(); }

signals:
    // A mouse button released over the picture: 1 left, 2 right, 4 middle; frame pixels.
    void mouseUp(int button, float x, float y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct Shape {
        bool circle;
        float a, b, c, d; // line: x1 y1 x2 y2; circle: cx cy radius
        uint32_t colour;
    };
    FrameImage frame_;
    std::vector<Shape> overlay_;
};
