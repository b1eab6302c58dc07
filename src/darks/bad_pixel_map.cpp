#include "darks/bad_pixel_map.h"

#include <QPoint>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kRepairReach = 3;

struct Level {
    double median = 0;
    double noise = 0;
};

double medianOf(std::vector<double> v) {
    if (v.empty())
        return 0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

Level levelOf(const std::vector<double>& v) {
    Level l{medianOf(v), 0};
    std::vector<double> deviations(v.size());
    std::transform(v.begin(), v.end(), deviations.begin(),
                   [&](double s) { return std::abs(s - l.median); });
    l.noise = 1.4826 * medianOf(std::move(deviations));
    return l;
}

// Each pixel's brightest channel, row by row.
std::vector<double> pixelLevels(const DarkFrame& dark) {
    const FrameShape& s = dark.shape;
    std::vector<double> levels(static_cast<size_t>(s.width) * static_cast<size_t>(s.height));
    const auto channels = static_cast<size_t>(s.channels);
    for (size_t p = 0; p < levels.size(); ++p) {
        const float* v = &dark.values[p * channels];
        levels[p] = *std::max_element(v, v + channels);
    }
    return levels;
}

void markHotColumns(const std::vector<double>& levels, const FrameShape& s,
                    const BadPixelRules& rules, BadPixelMap& map) {
    std::vector<double> medians(static_cast<size_t>(s.width));
    std::vector<double> column(static_cast<size_t>(s.height));
    for (int x = 0; x < s.width; ++x) {
        for (int y = 0; y < s.height; ++y)
            column[static_cast<size_t>(y)] = levels[static_cast<size_t>(y * s.width + x)];
        medians[static_cast<size_t>(x)] = medianOf(column);
    }
    const Level l = levelOf(medians);
    const double above =
        std::max(rules.columnNoiseLevels * l.noise, rules.columnMinShare * s.maxValue);
    for (int x = 0; x < s.width; ++x)
        if (medians[static_cast<size_t>(x)] > l.median + above)
            map.addHotColumn(x);
}
} // namespace

BadPixelMap::BadPixelMap(int width, int height)
    : width_(width), height_(height),
      mask_(static_cast<size_t>(width) * static_cast<size_t>(height), 0) {}

bool BadPixelMap::bad(int x, int y) const {
    return x >= 0 && y >= 0 && x < width_ && y < height_ &&
           mask_[static_cast<size_t>(y * width_ + x)] != 0;
}

void BadPixelMap::mark(int x, int y) {
    uint8_t& m = mask_[static_cast<size_t>(y * width_ + x)];
    count_ += m ? 0 : 1;
    m = 1;
}

void BadPixelMap::addHotColumn(int x) {
    hotColumns_.push_back(x);
    for (int y = 0; y < height_; ++y)
        mark(x, y);
}

BadPixelMap findBadPixels(const DarkFrame& dark, const BadPixelRules& rules) {
    const FrameShape& s = dark.shape;
    BadPixelMap map(s.width, s.height);
    if (dark.values.size() != s.count() || s.count() == 0)
        return map;
    const std::vector<double> levels = pixelLevels(dark);
    markHotColumns(levels, s, rules, map);
    const Level l = levelOf(levels);
    const double above =
        std::max(rules.pixelNoiseLevels * l.noise, rules.pixelMinShare * s.maxValue);
    for (int y = 0; y < s.height; ++y)
        for (int x = 0; x < s.width; ++x)
            if (levels[static_cast<size_t>(y * s.width + x)] > l.median + above)
                map.mark(x, y);
    return map;
}

namespace {
// The good pixels of the square ring `r` out from (x, y).
std::vector<QPoint> goodRing(const BadPixelMap& map, int x, int y, int r) {
    std::vector<QPoint> good;
    for (int j = y - r; j <= y + r; ++j)
        for (int i = x - r; i <= x + r; ++i) {
            const bool onRing = std::abs(i - x) == r || std::abs(j - y) == r;
            if (onRing && i >= 0 && j >= 0 && i < map.width() && j < map.height() && !map.bad(i, j))
                good.emplace_back(i, j);
        }
    return good;
}

// Reads good pixels only, which no repair changes.
void repairPixel(FrameValues& frame, const BadPixelMap& map, int x, int y) {
    std::vector<QPoint> good;
    for (int r = 1; r <= kRepairReach && good.empty(); ++r)
        good = goodRing(map, x, y, r);
    if (good.empty())
        return;
    std::vector<uint16_t> v(good.size());
    for (int c = 0; c < frame.shape.channels; ++c) {
        for (size_t k = 0; k < good.size(); ++k)
            v[k] = frame.values[frame.index(good[k].x(), good[k].y()) + static_cast<size_t>(c)];
        const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
        std::nth_element(v.begin(), middle, v.end());
        frame.values[frame.index(x, y) + static_cast<size_t>(c)] = *middle;
    }
}
} // namespace

bool repairBadPixels(FrameValues& frame, const BadPixelMap& map) {
    if (frame.shape.width != map.width() || frame.shape.height != map.height())
        return false;
    if (map.count() == 0)
        return true;
    for (int y = 0; y < map.height(); ++y)
        for (int x = 0; x < map.width(); ++x)
            if (map.bad(x, y))
                repairPixel(frame, map, x, y);
    return true;
}
