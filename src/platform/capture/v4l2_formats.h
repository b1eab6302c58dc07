#pragma once

#include "platform/capture/v4l2_io.h"

#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

// Time between frames in seconds, numerator / denominator (1/30 is 30 frames per second).
struct V4l2Interval {
    uint32_t numerator = 0;
    uint32_t denominator = 0;

    bool isValid() const { return numerator != 0 && denominator != 0; }
    double fps() const { return isValid() ? double(denominator) / numerator : 0.0; }
    // "30 fps", "7.5 fps", "0.2 fps".
    QString text() const;
    // The same rate within 0.1 % (drivers give 1/30 as 333333/10000000).
    bool sameRate(V4l2Interval other) const;
    bool operator==(const V4l2Interval&) const = default;
};

// The frame sizes a camera offers for one pixel format: a list, or a range with steps
// (a continuous range has steps of 1). Unknown when the driver does not say.
struct V4l2FrameSizes {
    enum class Kind { Unknown, Discrete, Stepwise };
    Kind kind = Kind::Unknown;
    std::vector<QSize> discrete;
    QSize min, max, step;
};

struct V4l2SizeRates {
    QSize size;
    std::vector<V4l2Interval> intervals; // fastest first; empty when the driver does not say
};

struct V4l2PixelFormat {
    uint32_t fourcc = 0;
    QString description;
    bool emulated = false; // produced by conversion rather than sent by the camera
    std::vector<V4l2SizeRates> sizes;
};

// What the driver settled on: frame size and the bytes from one row's start to the next.
struct V4l2FrameLayout {
    QSize size;
    int bytesPerLine = 0;
};

// The size to ask for: `wanted` itself when offered; from a list, the nearest entry (smallest
// |dw| + |dh|, ties to the smaller area); from a range, `wanted` clamped to it and rounded to
// its steps; `wanted` when the offer is unknown.
QSize chooseFrameSize(const V4l2FrameSizes& offered, QSize wanted);
// The sizes worth offering an operator: a list as it is (smallest first), a range reduced to the
// common sizes within it (its limits when none fits).
std::vector<QSize> usefulFrameSizes(const V4l2FrameSizes& offered);
// A range of intervals reduced to its limits and the usual rates in between, fastest first.
std::vector<V4l2Interval> usefulIntervals(V4l2Interval fastest, V4l2Interval slowest);

V4l2FrameSizes queryFrameSizes(V4l2Io& io, int fd, uint32_t fourcc);
std::vector<V4l2Interval> queryFrameIntervals(V4l2Io& io, int fd, uint32_t fourcc, QSize size);
// Every capture pixel format with its useful sizes and their rates.
std::vector<V4l2PixelFormat> queryPixelFormats(V4l2Io& io, int fd);

// The sizes and rates an operator can choose from: those of the RGB24 format (the one frames
// are delivered in) when listed, else all formats' merged; smallest size first.
std::vector<V4l2SizeRates> formatChoices(const std::vector<V4l2PixelFormat>& formats);

// Sets RGB24 capture at the offered size nearest to `wanted` and reports what the driver chose;
// false with the reason in `error` when the device will not deliver RGB24.
bool setRgb24Format(V4l2Io& io, int fd, QSize wanted, V4l2FrameLayout& layout, QString& error);
