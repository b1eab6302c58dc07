#include "sim/sky_render.h"

#include "sim/sim_random.h"

#include <algorithm>
#include <cmath>

namespace {
// Stars are drawn out to this many sigmas; beyond it they add less than 0.1 ADU.
constexpr double kStarReach = 4.5;
constexpr uint64_t kNoiseStream = 0x4e4f495345;

// Profile of a Gaussian of width sigma centred on c, sampled at pixels first..first+n-1.
void sampleProfile(std::vector<float>& out, int first, int n, double c, double sigma) {
    out.resize(static_cast<size_t>(n));
    const double k = -0.5 / (sigma * sigma);
    for (int i = 0; i < n; ++i) {
        const double d = first + i - c;
        out[static_cast<size_t>(i)] = static_cast<float>(std::exp(k * d * d));
    }
}

// Adds the star's signal (ADU) to `signal`, one float per pixel row by row; only a small box
// around the star is touched.
void addStar(std::vector<float>& signal, const SkyFrame& frame, QPointF at, double peak) {
    const double reach = kStarReach * frame.sigma;
    const int w = frame.size.width(), h = frame.size.height();
    const int x0 = std::max(0, static_cast<int>(std::ceil(at.x() - reach)));
    const int x1 = std::min(w - 1, static_cast<int>(std::floor(at.x() + reach)));
    const int y0 = std::max(0, static_cast<int>(std::ceil(at.y() - reach)));
    const int y1 = std::min(h - 1, static_cast<int>(std::floor(at.y() + reach)));
    if (x0 > x1 || y0 > y1)
        return;
    std::vector<float> gx, gy;
    sampleProfile(gx, x0, x1 - x0 + 1, at.x(), frame.sigma);
    sampleProfile(gy, y0, y1 - y0 + 1, at.y(), frame.sigma);
    for (int y = y0; y <= y1; ++y) {
        float* row = signal.data() + static_cast<size_t>(y) * static_cast<size_t>(w);
        const float amp = static_cast<float>(peak) * gy[static_cast<size_t>(y - y0)];
        for (int x = x0; x <= x1; ++x)
            row[x] += amp * gx[static_cast<size_t>(x - x0)];
    }
}

// Turns one row of signal into grey pixels with read and shot noise from its own generator,
// so a row's noise depends only on the seed and the row.
void exposeRow(const float* signal, QRgb* out, int width, const SkyFrame& frame, int row) {
    FastRandom random(streamSeed(frame.noiseSeed, static_cast<uint64_t>(row), kNoiseStream));
    const float readVariance = static_cast<float>(frame.readNoise * frame.readNoise);
    constexpr float kPerAdu = static_cast<float>(1 / kSensorGain);
    for (int x = 0; x < width; ++x) {
        const float s = signal[x];
        const float sd = std::sqrt(readVariance + std::max(s, 0.0f) * kPerAdu);
        const float v = std::clamp(s + sd * random.quickNormal() + 0.5f, 0.0f, 255.0f);
        out[x] = 0xff000000u | static_cast<unsigned>(v) * 0x010101u;
    }
}

} // namespace

QPointF framePosition(const SkyFrame& frame, QPointF sky) {
    return frame.origin + QPointF(sky.x() * frame.cosAngle - sky.y() * frame.sinAngle,
                                  sky.x() * frame.sinAngle + sky.y() * frame.cosAngle);
}

QImage renderSkyFrame(const SkyFrame& frame) {
    const int w = frame.size.width(), h = frame.size.height();
    QImage image(frame.size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    std::vector<float> signal(static_cast<size_t>(w) * static_cast<size_t>(h),
                              static_cast<float>(kSkyBackground));
    for (const SimStar& star : frame.stars)
        addStar(signal, frame, framePosition(frame, star.sky), frame.brightness * star.peak);
    for (int y = 0; y < h; ++y)
        exposeRow(signal.data() + static_cast<size_t>(y) * static_cast<size_t>(w),
                  reinterpret_cast<QRgb*>(image.scanLine(y)), w, frame, y);
    for (const HotPixel& hot : frame.hotPixels)
        if (image.rect().contains(hot.at))
            image.setPixel(hot.at, qRgb(hot.level, hot.level, hot.level));
    return image;
}
