#include "platform/capture/frame_stretch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
// The smallest value with at least `fraction` of the pixels at or below it.
int percentile(const std::vector<uint32_t>& histogram, size_t count, double fraction) {
    const auto wanted = static_cast<uint64_t>(std::ceil(fraction * double(count)));
    uint64_t seen = 0;
    for (size_t v = 0; v < histogram.size(); ++v) {
        seen += histogram[v];
        if (seen >= std::max<uint64_t>(wanted, 1))
            return int(v);
    }
    return int(histogram.size()) - 1;
}
} // namespace

StretchPoints stretchPoints(const RawFrame& frame) {
    if (frame.bitDepth <= 8 || frame.pixels.empty())
        return {};
    std::vector<uint32_t> histogram(65536, 0);
    uint16_t brightest = 0, darkest = 65535;
    for (const uint16_t v : frame.pixels) {
        ++histogram[v];
        brightest = std::max(brightest, v);
        darkest = std::min(darkest, v);
    }
    const size_t n = frame.pixels.size();
    const int median = percentile(histogram, n, 0.5);
    const int low = percentile(histogram, n, 0.16);
    const int black = std::max<int>(darkest, median - 2 * (median - low) - 1);
    return {black, std::max<int>(brightest, black + 1)};
}

QImage stretchToPicture(const RawFrame& frame, StretchPoints points) {
    QImage picture(frame.width, frame.height, QImage::Format_RGB32);
    if (picture.isNull())
        return picture;
    // One table entry per camera value: the frame is mapped with one lookup per pixel.
    std::vector<uint32_t> table(frame.bitDepth <= 8 ? 256 : 65536);
    const double scale = 255.0 / std::max(1, points.white - points.black);
    for (size_t v = 0; v < table.size(); ++v) {
        const double level = std::nearbyint((double(v) - points.black) * scale);
        const auto grey = static_cast<uint32_t>(std::clamp(level, 0.0, 255.0));
        table[v] = 0xFF000000u | grey * 0x010101u;
    }
    const size_t top = table.size() - 1;
    for (int y = 0; y < frame.height; ++y) {
        auto* line = reinterpret_cast<uint32_t*>(picture.scanLine(y));
        const uint16_t* in = frame.pixels.data() + size_t(y) * size_t(frame.width);
        for (int x = 0; x < frame.width; ++x)
            line[x] = table[std::min<size_t>(in[x], top)];
    }
    return picture;
}
