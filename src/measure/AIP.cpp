#include "measure/AIP.h"

#include "engine/Globals.h"

#include <array>
#include <cmath>

namespace {
constexpr int kMaxSide = 100;
constexpr double kThreshold = 15.0; // luminance units above the window mean

// Cells (i, j) with i, j = 1..kMaxSide, plus a zero border for neighbour lookups.
class Mask {
public:
    uint8_t& at(int i, int j) { return cells_[static_cast<size_t>(i * (kMaxSide + 2) + j)]; }

private:
    std::array<uint8_t, (kMaxSide + 2) * (kMaxSide + 2)> cells_{};
};

struct Window {
    int side;
    double x0; // column origin: not rounded, ends in .5 for odd sides
    double y0; // row origin: rounded, halves to even
    StarPicture& picture;
    uint8_t lum(int i, int j) const {
        return luminance(picture.Point(static_cast<float>(x0 + i), static_cast<float>(y0 + j)));
    }
};

double meanOf(const Window& w) {
    double sum = 0;
    int count = 0;
    for (int i = 1; i <= w.side; ++i)
        for (int j = 1; j <= w.side; ++j) {
            sum += w.lum(i, j);
            ++count;
        }
    return sum / count;
}

// Marks the cells brighter than mean + threshold; returns the mean of the others.
double markBright(const Window& w, double mean, Mask& mask) {
    double sum = 0;
    int count = 0;
    for (int i = 1; i <= w.side; ++i)
        for (int j = 1; j <= w.side; ++j) {
            const uint8_t l = w.lum(i, j);
            mask.at(i, j) = l > mean + kThreshold ? 1 : 0;
            if (!mask.at(i, j)) {
                sum += l;
                ++count;
            }
        }
    return sum / count;
}
} // namespace

uint8_t luminance(int32_t colour) {
    if (colour == -1)
        return 255;
    const double r = colour & 0xFF;
    const double g = (colour >> 8) & 0xFF;
    const double b = (colour >> 16) & 0xFF;
    return static_cast<uint8_t>(std::nearbyint(0.587 * g + 0.299 * r + 0.114 * b));
}

void findStar(StarPicture& picture, const float& x, const float& y) {
    const int side = Globals::searchRadius;
    picture.refresh();
    if (side == 0 || side > kMaxSide)
        return;
    const Window w{side, x - side / 2.0, std::nearbyint(y - side / 2.0), picture};
    Mask mask;
    const double background = markBright(w, meanOf(w), mask);
    double weights = 0, columns = 0, rows = 0;
    for (int i = 2; i <= side - 1; ++i)
        for (int j = 2; j <= side - 1; ++j) {
            if (!mask.at(i, j))
                continue;
            const int n =
                mask.at(i - 1, j) + mask.at(i + 1, j) + mask.at(i, j - 1) + mask.at(i, j + 1);
            if (n <= 2)
                continue;
            const double weight = w.lum(i, j) - background;
            weights += weight;
            columns += weight * (w.x0 + i);
            rows += weight * (w.y0 + j);
        }
    Globals::starX = weights > 0 ? static_cast<float>(columns / weights) : 0.0f;
    Globals::starY = weights > 0 ? static_cast<float>(rows / weights) : 0.0f;
}
