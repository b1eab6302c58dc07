#include "measure/star_measures.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {
constexpr int kSub = 2;         // sub-pixels per pixel along each axis
constexpr double kBinPx = 0.05; // radial bin width of the half-flux search, px
constexpr double kApertureHfd = 1.5;
constexpr double kDetectSigma = 3.0;

struct Ring {
    double mean = 0, sd = 0;
    int count = 0;
};

bool onRing(const LumWindow& w, int c, int r) {
    return c == 0 || r == 0 || c == w.side - 1 || r == w.side - 1;
}

// Mean and standard deviation of the ring pixels within `limit` of `centre`.
Ring ringStats(const LumWindow& w, double centre, double limit) {
    double sum = 0, squares = 0;
    int n = 0;
    for (int r = 0; r < w.side; ++r)
        for (int c = 0; c < w.side; ++c) {
            if (!onRing(w, c, r) || !w.inside(c, r) || std::abs(w.at(c, r) - centre) > limit)
                continue;
            sum += w.at(c, r);
            squares += w.at(c, r) * w.at(c, r);
            ++n;
        }
    if (n == 0)
        return {};
    const double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean)), n};
}

// Flux-weighted centre (window coordinates) of the pixels more than `threshold` above the
// background; false when there are none.
bool findCentre(const LumWindow& w, double background, double threshold, double& cx, double& cy) {
    double weights = 0, xs = 0, ys = 0;
    for (int r = 1; r < w.side - 1; ++r)
        for (int c = 1; c < w.side - 1; ++c) {
            const double f = w.at(c, r) - background;
            if (!w.inside(c, r) || f <= threshold)
                continue;
            weights += f;
            xs += f * c;
            ys += f * r;
        }
    if (weights <= 0)
        return false;
    cx = xs / weights;
    cy = ys / weights;
    return true;
}

// Half-flux radius about (cx, cy) (window coordinates) within radius `reach`; -1 without flux.
double halfFluxRadius(const LumWindow& w, double background, double cx, double cy, double reach) {
    std::vector<double> bins(static_cast<size_t>(reach / kBinPx) + 1, 0.0);
    for (int r = 0; r < w.side; ++r)
        for (int c = 0; c < w.side; ++c) {
            if (!w.inside(c, r))
                continue;
            const double f = (w.at(c, r) - background) / (kSub * kSub);
            for (int i = 0; i < kSub; ++i)
                for (int j = 0; j < kSub; ++j) {
                    const double dx = c - cx + (i + 0.5) / kSub - 0.5;
                    const double dy = r - cy + (j + 0.5) / kSub - 0.5;
                    const double d = std::sqrt(dx * dx + dy * dy); // hypot is far slower
                    if (d < reach)
                        bins[static_cast<size_t>(d / kBinPx)] += f;
                }
        }
    double total = 0;
    for (double b : bins)
        total += b;
    if (total <= 0)
        return -1;
    double sum = 0;
    for (size_t k = 0; k < bins.size(); ++k) {
        if (sum + bins[k] >= total / 2 && bins[k] > 0)
            return (static_cast<double>(k) + (total / 2 - sum) / bins[k]) * kBinPx;
        sum += bins[k];
    }
    return reach;
}

// Summed f and count of the pixels whose centres lie within `radius` of (cx, cy).
void aperture(const LumWindow& w, double background, double cx, double cy, double radius,
              double& sum, int& count) {
    sum = 0;
    count = 0;
    for (int r = 0; r < w.side; ++r)
        for (int c = 0; c < w.side; ++c)
            if (w.inside(c, r) && (c - cx) * (c - cx) + (r - cy) * (r - cy) <= radius * radius) {
                sum += w.at(c, r) - background;
                ++count;
            }
}

// Background, noise, peak and saturation; the first step of every measure.
Ring backgroundOf(const LumWindow& w, StarMeasures& m) {
    const Ring all = ringStats(w, 0, std::numeric_limits<double>::infinity());
    const Ring ring = ringStats(w, all.mean, std::max(kDetectSigma * all.sd, 0.5));
    m.background = ring.mean;
    m.noise = ring.sd;
    double brightest = 0;
    for (double v : w.values)
        brightest = std::max(brightest, v);
    m.peak = std::max(0.0, brightest - m.background);
    m.saturated = brightest >= w.saturatedAt;
    return ring;
}
} // namespace

LumWindow readLumWindow(const std::function<double(int x, int y)>& lum, double cx, double cy,
                        int side) {
    LumWindow w;
    w.side = std::max(side, 0);
    w.left = static_cast<int>(std::lround(cx)) - w.side / 2;
    w.top = static_cast<int>(std::lround(cy)) - w.side / 2;
    w.values.reserve(static_cast<size_t>(w.side * w.side));
    for (int r = 0; r < w.side; ++r)
        for (int c = 0; c < w.side; ++c) {
            const double v = lum(w.left + c, w.top + r);
            w.values.push_back(v < 0 ? LumWindow::kOutside : v);
        }
    return w;
}

LumWindow readLumWindow(const StarPicture& picture, float cx, float cy, int side) {
    const auto lum = [&picture](int x, int y) {
        const int32_t colour = picture.Point(static_cast<float>(x), static_cast<float>(y));
        return colour == -1 ? -1.0 : static_cast<double>(luminance(colour));
    };
    return readLumWindow(lum, cx, cy, side);
}

StarMeasures measureStar(const LumWindow& w, double electronsPerAdu) {
    StarMeasures m;
    if (w.side < 5)
        return m;
    const Ring ring = backgroundOf(w, m);
    double cx = 0, cy = 0;
    if (ring.count == 0 || !findCentre(w, m.background, kDetectSigma * m.noise, cx, cy))
        return m;
    m.centreX = w.left + cx;
    m.centreY = w.top + cy;
    const double radius = halfFluxRadius(w, m.background, cx, cy, w.side / 2.0 - 1);
    if (radius <= 0)
        return m;
    m.hfd = 2 * radius;
    int n = 0;
    aperture(w, m.background, cx, cy, kApertureHfd * m.hfd, m.flux, n);
    const double variance = std::max(m.flux, 0.0) / electronsPerAdu +
                            n * (1.0 + static_cast<double>(n) / ring.count) * m.noise * m.noise;
    m.snr = variance > 0 ? m.flux / std::sqrt(variance) : 0;
    m.valid = m.flux > 0;
    return m;
}

StarMeasures measureStarAt(const StarPicture& picture, float cx, float cy, int side) {
    return measureStar(readLumWindow(picture, cx, cy, side));
}
