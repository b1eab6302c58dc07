#pragma once

#include "darks/dark_frame.h"

#include <cstdint>
#include <vector>

// How far above the ordinary a pixel or a column of a dark must stand to count as hot. A level
// is a pixel's brightest channel; noise is 1.4826 x the median absolute deviation.
struct BadPixelRules {
    double pixelNoiseLevels = 8;
    // The least step above the median that counts, as a share of the camera's maximum, so that
    // a dark with no noise at all (an 8-bit webcam's zeros) does not flag its faintest pixels.
    double pixelMinShare = 1.0 / 32;
    // The same for the median of a column against the median of all columns.
    double columnNoiseLevels = 8;
    double columnMinShare = 1.0 / 128;
};

// The hot pixels and hot columns of a camera, frame pixels.
class BadPixelMap {
public:
    BadPixelMap() = default;
    BadPixelMap(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // false outside the map.
    bool bad(int x, int y) const;
    void mark(int x, int y);
    // Pixels marked, the columns among them included.
    int count() const { return count_; }
    const std::vector<int>& hotColumns() const { return hotColumns_; }
    void addHotColumn(int x);

private:
    int width_ = 0;
    int height_ = 0;
    int count_ = 0;
    std::vector<uint8_t> mask_;
    std::vector<int> hotColumns_;
};

BadPixelMap findBadPixels(const DarkFrame& dark, const BadPixelRules& rules = {});

// Gives each bad pixel of `frame`, channel by channel, the median of the good pixels about it
// (those of the nearest square ring, up to 3 pixels out, that holds any); one with none that
// near keeps its values. false, with nothing changed, when the map has another size.
bool repairBadPixels(FrameValues& frame, const BadPixelMap& map);
