#include "sim/star_field.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace {
// Adds a round Gaussian star of peak brightness `peak` (0..255) and width sigma pixels.
void addStar(QImage& image, double cx, double cy, double peak, double sigma) {
    const int reach = static_cast<int>(std::ceil(sigma * 4));
    const int x0 = std::max(0, static_cast<int>(cx) - reach);
    const int x1 = std::min(image.width() - 1, static_cast<int>(cx) + reach);
    const int y0 = std::max(0, static_cast<int>(cy) - reach);
    const int y1 = std::min(image.height() - 1, static_cast<int>(cy) + reach);
    for (int y = y0; y <= y1; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = x0; x <= x1; ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            const int add = static_cast<int>(peak * std::exp(-r2 / (2 * sigma * sigma)));
            const int v = std::min(255, qRed(line[x]) + add);
            line[x] = qRgb(v, v, std::min(255, v + 6));
        }
    }
}
} // namespace

QImage renderStarField(int width, int height, uint32_t seed) {
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(10.0, 2.5);
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int v = std::clamp(static_cast<int>(noise(random)), 0, 255);
            line[x] = qRgb(v, v, v + 4);
        }
    }
    std::uniform_real_distribution<double> px(0, width), py(0, height), faint(30, 140);
    for (int i = 0; i < 40; ++i)
        addStar(image, px(random), py(random), faint(random), 1.2);
    addStar(image, width * 0.52, height * 0.47, 240, 1.8);
    return image;
}
