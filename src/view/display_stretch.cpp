#include "view/display_stretch.h"

#include <algorithm>
#include <cmath>

int Histogram::quantile(double fraction) const {
    if (total == 0)
        return 0;
    const double wanted = std::max(1.0, std::ceil(fraction * static_cast<double>(total)));
    uint64_t seen = 0;
    for (size_t v = 0; v < counts.size(); ++v) {
        seen += counts[v];
        if (static_cast<double>(seen) >= wanted)
            return static_cast<int>(v);
    }
    return maxValue();
}

int Histogram::mad() const {
    if (total == 0)
        return 0;
    const int centre = median();
    Histogram deviations;
    deviations.counts.assign(counts.size(), 0);
    deviations.total = total;
    for (size_t v = 0; v < counts.size(); ++v)
        deviations.counts[static_cast<size_t>(std::abs(static_cast<int>(v) - centre))] += counts[v];
    return deviations.median();
}

Histogram histogramOf(const RawFrame& frame) {
    Histogram h;
    h.counts.assign(static_cast<size_t>(std::max(frame.maxValue, 1)) + 1, 0);
    for (const uint16_t v : frame.pixels)
        ++h.counts[std::min<size_t>(v, h.counts.size() - 1)];
    h.total = frame.pixels.size();
    return h;
}

Histogram histogramOf(const QImage& picture) {
    Histogram h;
    h.counts.assign(256, 0);
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++h.counts[static_cast<size_t>(qGray(line[x]))];
    }
    h.total = static_cast<uint64_t>(rgb.width()) * static_cast<uint64_t>(rgb.height());
    return h;
}

StretchLevels automaticLevels(const Histogram& histogram, double gamma) {
    const double sigma = 1.4826 * histogram.mad();
    const double median = histogram.median();
    const double top = histogram.maxValue();
    StretchLevels levels;
    levels.gamma = gamma;
    levels.black = std::clamp(median - kBlackSigmas * sigma,
                              std::min<double>(histogram.lowest(), std::max(top - 1, 0.0)),
                              std::max(top - 1, 0.0));
    levels.white = std::clamp(median + kWhiteSigmas * sigma, levels.black + 1, std::max(top, 1.0));
    return levels;
}

std::vector<uint8_t> displayLut(const StretchLevels& levels, int maxValue) {
    std::vector<uint8_t> lut(static_cast<size_t>(std::max(maxValue, 0)) + 1);
    const double span = std::max(levels.white - levels.black, 1e-9);
    const double power = 1.0 / std::max(levels.gamma, 1e-3);
    for (size_t v = 0; v < lut.size(); ++v) {
        const double t = std::clamp((static_cast<double>(v) - levels.black) / span, 0.0, 1.0);
        lut[v] = static_cast<uint8_t>(std::lround(255.0 * std::pow(t, power)));
    }
    return lut;
}

QImage stretchedView(const RawFrame& frame, const std::vector<uint8_t>& lut) {
    QImage view(frame.width, frame.height, QImage::Format_RGB32);
    const size_t top = lut.size() - 1;
    for (int y = 0; y < frame.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(view.scanLine(y));
        for (int x = 0; x < frame.width; ++x) {
            const int g = lut[std::min<size_t>(frame.at(x, y), top)];
            line[x] = qRgb(g, g, g);
        }
    }
    return view;
}

QImage stretchedView(const QImage& picture, const std::vector<uint8_t>& lut) {
    QImage view = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < view.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(view.scanLine(y));
        for (int x = 0; x < view.width(); ++x)
            line[x] = qRgb(lut[static_cast<size_t>(qRed(line[x]))],
                           lut[static_cast<size_t>(qGreen(line[x]))],
                           lut[static_cast<size_t>(qBlue(line[x]))]);
    }
    return view;
}
