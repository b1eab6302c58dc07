#pragma once

#include "platform/capture/raw_frame.h"

#include <QImage>
#include <QPointF>
#include <QRect>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// A frame's brightness, 0..255 per pixel as the centroid search sees it (luminance()).
struct LumaFrame {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels; // row by row
    uint8_t at(int x, int y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};
LumaFrame lumaOf(const QImage& image);

struct StarChoiceRules {
    int radius = 24;     // px: distance from the frame edge and to any other star
    double minSnr = 8.0; // below this the star is too faint to guide on
};

// Frame pixels that are never a star's peak (the camera's known bad pixels); none when empty.
using ExcludedPixels = std::function<bool(int x, int y)>;

// The guide star an operator would pick: among the stars of the frame (or of `roi`), the
// brightest by flux that is not saturated, lies at least `radius` from every frame edge, has
// no other star within `radius` and an SNR of at least minSnr, each measured as the guide
// cycle measures its star (measureStar() over the radius x radius window about it). A star is a
// local maximum at least 5 noise levels above the background with at least three of its four
// neighbours above 3 levels (single hot pixels do not count), its peak on no excluded pixel.
// Returns its brightness-weighted centre.
std::optional<QPointF> chooseGuideStar(const LumaFrame& frame, const StarChoiceRules& rules,
                                       std::optional<QRect> roi = std::nullopt,
                                       const ExcludedPixels& excluded = {});
// The same on a frame at the camera's depth: peaks and background in camera units, each star
// centred by findRawStar() and measured by measureRawStar(), so a star counts as saturated
// when a pixel about it reaches saturationLevel() (90 % of the camera's maximum). Returns the
// star's centre as findRawStar() finds it.
std::optional<QPointF> chooseGuideStar(const RawFrame& frame, const StarChoiceRules& rules,
                                       std::optional<QRect> roi = std::nullopt,
                                       const ExcludedPixels& excluded = {});
