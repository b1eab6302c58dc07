// What the display stretch costs a frame: the histogram, the automatic points and the table,
// and the view through it, for a webcam picture and for 16-bit camera frames. Off costs
// nothing (the picture is shown as it is).

#include "bench_util.h"
#include "view/display_stretch.h"

#include <QImage>
#include <random>

namespace {
RawFrame noisyFrame(int width, int height) {
    RawFrame f;
    f.width = width;
    f.height = height;
    f.bitDepth = 16;
    f.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    std::mt19937 random(7);
    std::normal_distribution<double> sky(1000, 30);
    for (uint16_t& v : f.pixels)
        v = static_cast<uint16_t>(std::clamp(sky(random), 0.0, 65535.0));
    return f;
}

void stretchRaw(const char* name, const RawFrame& frame) {
    timeRow(name, 20, [&] {
        const Histogram h = histogramOf(frame);
        const QImage view = stretchedView(frame, displayLut(automaticLevels(h, 1.5), 65535));
        (void)view;
    });
}
} // namespace

int main() {
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(qRgb(12, 12, 12));
    timeHeader();
    timeRow("640 x 480 picture, automatic", 50, [&] {
        const Histogram h = histogramOf(picture);
        const QImage view = stretchedView(picture, displayLut(automaticLevels(h), 255));
        (void)view;
    });
    stretchRaw("1280 x 1024 16-bit frame, automatic", noisyFrame(1280, 1024));
    stretchRaw("4096 x 3072 16-bit frame, automatic", noisyFrame(4096, 3072));
    return 0;
}
