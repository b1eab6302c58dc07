#pragma once

#include <QImage>
#include <QPointF>
#include <algorithm>
#include <cmath>
#include <vector>

// Measurements of grey frames, written independently of the renderer.

inline double grey(const QImage& image, int x, int y) {
    return qRed(image.pixel(x, y));
}

inline double medianLevel(const QImage& image) {
    std::vector<double> levels;
    for (int y = 0; y < image.height(); y += 3)
        for (int x = 0; x < image.width(); x += 3)
            levels.push_back(grey(image, x, y));
    std::nth_element(levels.begin(), levels.begin() + levels.size() / 2, levels.end());
    return levels[levels.size() / 2];
}

// Flux-weighted centre of the levels above `background` in a box of +-half pixels around the
// pixel nearest `near`; pixel (i, j) counts as the point (i, j).
inline QPointF centroid(const QImage& image, QPointF near, int half, double background) {
    const int cx = static_cast<int>(std::lround(near.x()));
    const int cy = static_cast<int>(std::lround(near.y()));
    double sum = 0, sx = 0, sy = 0;
    for (int y = cy - half; y <= cy + half; ++y)
        for (int x = cx - half; x <= cx + half; ++x) {
            const double w = grey(image, x, y) - background;
            sum += w;
            sx += w * x;
            sy += w * y;
        }
    return {sx / sum, sy / sum};
}

inline QPoint brightestPixel(const QImage& image) {
    QPoint best;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (grey(image, x, y) > grey(image, best.x(), best.y()))
                best = {x, y};
    return best;
}
