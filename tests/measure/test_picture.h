#pragma once

#include "measure/AIP.h"

#include <QImage>
#include <cmath>
#include <utility>
#include <vector>

// A grey picture of luminance `sky` with bright pixels set by the tests; records queries.
class TestPicture : public StarPicture {
public:
    TestPicture(int w, int h, int sky) : image(w, h, QImage::Format_RGB32) {
        image.fill(qRgb(sky, sky, sky));
    }
    void set(int x, int y, int level) { image.setPixel(x, y, qRgb(level, level, level)); }
    void block(int x, int y, int w, int h, int level) {
        for (int i = 0; i < w; ++i)
            for (int j = 0; j < h; ++j)
                set(x + i, y + j, level);
    }
    void refresh() override { ++refreshes; }
    int32_t Point(float x, float y) const override {
        queries.emplace_back(x, y);
        const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
        if (px < 0 || py < 0 || px >= image.width() || py >= image.height())
            return -1;
        const QRgb c = image.pixel(px, py);
        return qRed(c) | qGreen(c) << 8 | qBlue(c) << 16;
    }
    QImage image;
    int refreshes = 0;
    mutable std::vector<std::pair<float, float>> queries;
};
