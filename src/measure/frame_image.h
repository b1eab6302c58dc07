#pragma once

#include "measure/AIP.h"

#include <QImage>
#include <cstdint>

// A frame as the star search reads it: RGB32, origin top left, x right, y down, one position per
// frame pixel. Holds no drawing, so nothing but the frame biases a measurement.
class FrameImage : public StarPicture {
public:
    // Replaces the frame, converted to RGB32 when it is not.
    void setImage(const QImage& image);
    const QImage& image() const { return image_; }

    // Colour of the frame pixel at (floor(x), floor(y)) as 0x00BBGGRR, or -1 outside the frame.
    int32_t Point(float x, float y) const override;
    // Nothing to repaint: a frame shown elsewhere is repainted there.
    void refresh() override {}

private:
    QImage image_;
};
