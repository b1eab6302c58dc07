#pragma once

#include "platform/capture/raw_frame.h"

#include <QImage>
#include <cstdint>
#include <vector>

// The display stretch: how frame values become the 0..255 grey levels of the picture on the
// screen. It shapes the view only; the star search and every measurement read the frame.

// How many pixels hold each value 0..maxValue (camera units).
struct Histogram {
    std::vector<uint64_t> counts;
    uint64_t total = 0;

    int maxValue() const { return static_cast<int>(counts.size()) - 1; }
    // The smallest value v with at least fraction * total pixels at or below v (0..1); 0 when
    // the histogram is empty.
    int quantile(double fraction) const;
    int lowest() const { return quantile(0.0); }
    int median() const { return quantile(0.5); }
    // Median absolute deviation from the median, camera units.
    int mad() const;
};

// Values of a raw frame (0..frame.maxValue), or the grey level (qGray) of a picture (0..255).
Histogram histogramOf(const RawFrame& frame);
Histogram histogramOf(const QImage& picture);

// Black and white points in camera units (black < white), and a gamma > 0: a value v shows as
// 255 * t^(1 / gamma) with t = (v - black) / (white - black) held to 0..1. Gamma above 1
// brightens the faint end.
struct StretchLevels {
    double black = 0;
    double white = 255;
    double gamma = 1;
};

// Automatic points: black kBlackSigmas background deviations below the median, white
// kWhiteSigmas above it (one deviation = 1.4826 MAD, the standard deviation of a Gaussian
// background), black never below the darkest value and white at least one unit above black
// and never past maxValue. Faint stars a few deviations above the background come out bright.
inline constexpr double kBlackSigmas = 2.8;
inline constexpr double kWhiteSigmas = 20.0;
StretchLevels automaticLevels(const Histogram& histogram, double gamma = 1.0);

// The display level of every value 0..maxValue.
std::vector<uint8_t> displayLut(const StretchLevels& levels, int maxValue);

// The view of a raw frame as an RGB32 grey picture, each value through `lut` (size at least
// frame.maxValue + 1).
QImage stretchedView(const RawFrame& frame, const std::vector<uint8_t>& lut);
// The view of an RGB32 picture: each colour channel through `lut` (size 256).
QImage stretchedView(const QImage& picture, const std::vector<uint8_t>& lut);
