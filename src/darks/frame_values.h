#pragma once

#include "platform/capture/raw_frame.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

// The layout of the values darks are taken from and subtracted from: a raw frame's one channel
// at the camera's depth, or a picture's three colour channels (red, green, blue) 0..255.
struct FrameShape {
    int width = 0;
    int height = 0;
    int channels = 1;   // 1: a raw frame; 3: a picture
    int bitDepth = 8;   // 8 or 16
    int maxValue = 255; // the largest value, camera units
    size_t count() const {
        return static_cast<size_t>(width) * static_cast<size_t>(height) *
               static_cast<size_t>(channels);
    }
    bool operator==(const FrameShape&) const = default;
};

// One frame's values: row by row from the top, left to right, the channels of a pixel together.
struct FrameValues {
    FrameShape shape;
    std::vector<uint16_t> values;

    size_t index(int x, int y) const {
        return (static_cast<size_t>(y) * static_cast<size_t>(shape.width) +
                static_cast<size_t>(x)) *
               static_cast<size_t>(shape.channels);
    }
};

FrameShape shapeOf(const RawFrame& frame);
FrameShape shapeOf(const QImage& picture);
FrameValues valuesOf(const RawFrame& frame);
FrameValues valuesOf(const QImage& picture);
// The values as an RGB32 picture (3 channels), or as a raw frame with the depth, exposure and
// pattern of `model` (1 channel).
QImage pictureOf(const FrameValues& frame);
RawFrame rawOf(FrameValues frame, const RawFrame& model);
