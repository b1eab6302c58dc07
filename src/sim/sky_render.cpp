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

// A star's signal (ADU) in the small box around it: row y, column x adds
// amp(y) * gx[x - x0] with amp(y) = peak * gy[y - y0].
struct DrawnStar {
    int x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    std::vector<float> gx, gy;
    float peak = 0;
};

DrawnStar drawnStar(const SkyFrame& frame, QPointF at, double peak) {
    const double reach = kStarReach * frame.sigma;
    const int w = frame.size.width(), h = frame.size.height();
    DrawnStar d;
    d.x0 = std::max(0, static_cast<int>(std::ceil(at.x() - reach)));
    d.x1 = std::min(w - 1, static_cast<int>(std::floor(at.x() + reach)));
    d.y0 = std::max(0, static_cast<int>(std::ceil(at.y() - reach)));
    d.y1 = std::min(h - 1, static_cast<int>(std::floor(at.y() + reach)));
    if (d.x0 > d.x1 || d.y0 > d.y1)
        return d;
    sampleProfile(d.gx, d.x0, d.x1 - d.x0 + 1, at.x(), frame.sigma);
    sampleProfile(d.gy, d.y0, d.y1 - d.y0 + 1, at.y(), frame.sigma);
    d.peak = static_cast<float>(peak);
    return d;
}

// Adds the stars' signal to row `y` (one float per pixel), in the order given.
void addStars(float* row, int y, const std::vector<DrawnStar>& stars) {
    for (const DrawnStar& d : stars) {
        if (y < d.y0 || y > d.y1 || d.x0 > d.x1)
            continue;
        const float amp = d.peak * d.gy[static_cast<size_t>(y - d.y0)];
        for (int x = d.x0; x <= d.x1; ++x)
            row[x] += amp * d.gx[static_cast<size_t>(x - d.x0)];
    }
}

// Turns one row of signal into grey pixels with read and shot noise from its own generator,
// so a row's noise depends only on the seed and the row.
void exposeRow(const float* signal, QRgb* out, int width, const SkyFrame& frame, int row) {
    FastRandom random(streamSeed(frame.noiseSeed, static_cast<uint64_t>(row), kNoiseStream));
    const float readVariance = static_cast<float>(frame.readNoise * frame.readNoise);
    constexpr float kPerAdu = static_cast<float>(1 / kSensorGain);
    const auto deviation = [&](float s) {
        return std::sqrt(readVariance + std::max(s, 0.0f) * kPerAdu);
    };
    // Most pixels are bare sky: their deviation is worked out once.
    const float sky = static_cast<float>(kSkyBackground);
    const float skyDeviation = deviation(sky);
    for (int x = 0; x < width; ++x) {
        const float s = signal[x];
        const float sd = s == sky ? skyDeviation : deviation(s);
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
    std::vector<DrawnStar> stars;
    stars.reserve(frame.stars.size());
    for (const SimStar& star : frame.stars)
        stars.push_back(
            drawnStar(frame, framePosition(frame, star.sky), frame.brightness * star.peak));
    // A row at a time: the signal of one row stays in the cache.
    std::vector<float> signal(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        std::fill(signal.begin(), signal.end(), static_cast<float>(kSkyBackground));
        addStars(signal.data(), y, stars);
        exposeRow(signal.data(), reinterpret_cast<QRgb*>(image.scanLine(y)), w, frame, y);
    }
    for (const HotPixel& hot : frame.hotPixels)
        if (image.rect().contains(hot.at))
            image.setPixel(hot.at, qRgb(hot.level, hot.level, hot.level));
    return image;
}
