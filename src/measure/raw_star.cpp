#include "measure/raw_star.h"

#include "engine/Globals.h"
#include "measure/gaussian_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr int kMaxSide = 100;       // as the 8-bit search
constexpr int kMargin = 16;         // px read beyond the search window, for the fit and ring
constexpr double kDetect = 2.5;     // noise levels of a 2 x 2 block's mean above background
constexpr double kHot = 5.0;        // noise levels above background of a hot pixel
constexpr double kHotShare = 0.15;  // its neighbours' share of that, at most
constexpr double kClip = 3.0;       // noise levels: ring pixels further off are left out
constexpr double kMinNoise = 0.5;   // camera units; whole-number values spread at least that
constexpr int kMinReach = 3;        // px, the fitted box's half side ...
constexpr int kMaxReach = 12;       // ... from 3 sigma of the star, held to this range
constexpr double kFirstSigma = 1.5; // px, taken when the first look cannot tell

struct Sky {
    double level = 0, noise = kMinNoise;
    int count = 0;
};

double medianOf(std::vector<double>& v) {
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// Median and 1.4826 x median absolute deviation.
Sky robustSky(std::vector<double> values) {
    Sky s;
    s.count = static_cast<int>(values.size());
    if (values.empty())
        return s;
    s.level = medianOf(values);
    for (double& v : values)
        v = std::abs(v - s.level);
    s.noise = std::max(kMinNoise, 1.4826 * medianOf(values));
    return s;
}

Sky skyOf(const LumWindow& w) {
    std::vector<double> inside;
    for (double v : w.values)
        if (v != LumWindow::kOutside)
            inside.push_back(v);
    return robustSky(std::move(inside));
}

// Mean and standard deviation of the pixels whose centres lie between `inner` and `outer` px
// of (cx, cy) and within kClip noise levels of their median; `fallback` when too few.
Sky ringSky(const LumWindow& w, double cx, double cy, double inner, double outer,
            const Sky& fallback) {
    std::vector<double> ring;
    for (int r = 0; r < w.side; ++r)
        for (int c = 0; c < w.side; ++c) {
            const double d2 = (c - cx) * (c - cx) + (r - cy) * (r - cy);
            if (w.inside(c, r) && d2 >= inner * inner && d2 <= outer * outer)
                ring.push_back(w.at(c, r));
        }
    const Sky robust = robustSky(ring);
    double sum = 0, squares = 0;
    int n = 0;
    for (double v : ring)
        if (std::abs(v - robust.level) <= kClip * robust.noise) {
            sum += v;
            squares += v * v;
            ++n;
        }
    if (n < 8)
        return fallback;
    const double mean = sum / n;
    return {mean, std::max(kMinNoise, std::sqrt(std::max(0.0, squares / n - mean * mean))), n};
}

bool allInside(const LumWindow& w, int c, int r) {
    return c > 0 && r > 0 && c < w.side - 1 && r < w.side - 1 && w.inside(c, r) &&
           w.inside(c - 1, r) && w.inside(c + 1, r) && w.inside(c, r - 1) && w.inside(c, r + 1);
}

// Replaces single hot pixels by the mean of their four neighbours.
void cleanHotPixels(LumWindow& w, const Sky& sky) {
    const LumWindow original = w;
    for (int r = 1; r < w.side - 1; ++r)
        for (int c = 1; c < w.side - 1; ++c) {
            if (!allInside(original, c, r))
                continue;
            const double f = original.at(c, r) - sky.level;
            const double around = (original.at(c - 1, r) + original.at(c + 1, r) +
                                   original.at(c, r - 1) + original.at(c, r + 1)) /
                                  4;
            if (f > kHot * sky.noise && around - sky.level < kHotShare * f)
                w.values[static_cast<size_t>(r * w.side + c)] = around;
        }
}

struct Pixel {
    int c = 0, r = 0;
};

// The brightest pixel of the brightest 2 x 2 block within columns and rows lo..hi, if that
// block stands out of the sky.
std::optional<Pixel> brightestBlock(const LumWindow& w, int lo, int hi, const Sky& sky) {
    double best = -1;
    Pixel at;
    for (int r = lo; r < hi; ++r)
        for (int c = lo; c < hi; ++c) {
            if (!w.inside(c, r) || !w.inside(c + 1, r) || !w.inside(c, r + 1) ||
                !w.inside(c + 1, r + 1))
                continue;
            const double sum = w.at(c, r) + w.at(c + 1, r) + w.at(c, r + 1) + w.at(c + 1, r + 1);
            if (sum > best) {
                best = sum;
                at = {c, r};
            }
        }
    if (best < 0 || best / 4 - sky.level < kDetect * sky.noise)
        return std::nullopt;
    Pixel peak = at;
    for (const Pixel p : {Pixel{at.c + 1, at.r}, Pixel{at.c, at.r + 1}, Pixel{at.c + 1, at.r + 1}})
        if (w.at(p.c, p.r) > w.at(peak.c, peak.r))
            peak = p;
    return peak;
}

// Where the fit starts: the centroid of the 3 x 3 pixels about the peak, a width from the
// fall-off to its four neighbours, the amplitude that gives the peak's value.
PixelGaussian firstLook(const LumWindow& w, double background, Pixel peak) {
    double weights = 0, xs = 0, ys = 0, around = 0;
    int neighbours = 0;
    for (int r = peak.r - 1; r <= peak.r + 1; ++r)
        for (int c = peak.c - 1; c <= peak.c + 1; ++c) {
            if (!w.inside(c, r))
                continue;
            const double f = std::max(0.0, w.at(c, r) - background);
            weights += f;
            xs += f * c;
            ys += f * r;
            if ((c == peak.c) != (r == peak.r)) {
                around += f;
                ++neighbours;
            }
        }
    const double top = w.at(peak.c, peak.r) - background;
    around /= std::max(1, neighbours);
    double sigma = kFirstSigma;
    if (around > 0 && around < top)
        sigma = std::clamp(std::sqrt(1 / (2 * std::log(top / around))), 0.5, 4.0);
    const double centre = pixelProfile(0, sigma).value;
    return {weights > 0 ? xs / weights : double(peak.c),
            weights > 0 ? ys / weights : double(peak.r), top / (centre * centre), sigma};
}

int reachFor(double sigma) {
    return std::clamp(static_cast<int>(std::ceil(3 * sigma)), kMinReach, kMaxReach);
}

// The centre of the pixels within `reach` of `guess` that stand 3 noise levels above the
// star's background, each weighted by its height above it; the guess when there are none.
void thresholdCentroid(const LumWindow& w, const PixelGaussian& guess, int reach, RawStar& star) {
    double weights = 0, xs = 0, ys = 0;
    const int c0 = static_cast<int>(std::lround(guess.x));
    const int r0 = static_cast<int>(std::lround(guess.y));
    for (int r = std::max(0, r0 - reach); r <= std::min(w.side - 1, r0 + reach); ++r)
        for (int c = std::max(0, c0 - reach); c <= std::min(w.side - 1, c0 + reach); ++c) {
            const double f = w.at(c, r) - star.background;
            if (!w.inside(c, r) || f <= kClip * star.noise)
                continue;
            weights += f;
            xs += f * c;
            ys += f * r;
        }
    star.x = weights > 0 ? xs / weights : guess.x;
    star.y = weights > 0 ? ys / weights : guess.y;
}

// The star's centre (window coordinates) by the fit, refitted once over a wider box when
// the star turns out wider than the first look thought.
RawStar centreOf(const LumWindow& w, PixelGaussian guess, const Sky& sky) {
    RawStar star;
    int reach = reachFor(guess.sigma);
    for (int pass = 0; pass < 2; ++pass) {
        const Sky ring = ringSky(w, guess.x, guess.y, reach + 2, reach + 6, sky);
        const auto fit = fitPixelGaussian(w, ring.level, guess, reach, w.saturatedAt);
        if (!fit)
            break;
        star = {fit->x, fit->y, ring.level, ring.noise, fit->sigma, true};
        if (reachFor(fit->sigma) <= reach)
            break;
        guess = *fit;
        reach = reachFor(fit->sigma);
    }
    if (star.fitted)
        return star;
    const Sky ring = ringSky(w, guess.x, guess.y, reach + 2, reach + 6, sky);
    star.background = ring.level;
    star.noise = ring.noise;
    thresholdCentroid(w, guess, reach, star);
    return star;
}
} // namespace

double saturationLevel(const RawFrame& frame) {
    return kSaturatedShare * frame.maxValue;
}

LumWindow readRawWindow(const RawFrame& frame, double cx, double cy, int side) {
    const auto value = [&frame](int x, int y) {
        const bool inside = x >= 0 && y >= 0 && x < frame.width && y < frame.height;
        return inside ? static_cast<double>(frame.at(x, y)) : -1.0;
    };
    LumWindow w = readLumWindow(value, cx, cy, side);
    w.saturatedAt = saturationLevel(frame);
    return w;
}

std::optional<RawStar> findRawStar(const RawFrame& frame, double x, double y, int side) {
    if (side < 3 || frame.pixels.empty())
        return std::nullopt;
    LumWindow area = readRawWindow(frame, x, y, side + 2 * kMargin);
    const Sky sky = skyOf(area);
    cleanHotPixels(area, sky);
    const auto peak = brightestBlock(area, kMargin + 1, kMargin + side - 2, sky);
    if (!peak)
        return std::nullopt;
    RawStar star = centreOf(area, firstLook(area, sky.level, *peak), sky);
    star.x += area.left;
    star.y += area.top;
    return star;
}

void findStar(const RawFrame& frame, const float& x, const float& y) {
    const int side = Globals::searchRadius;
    if (side == 0 || side > kMaxSide)
        return;
    const auto star = findRawStar(frame, x, y, side);
    Globals::starX = star ? static_cast<float>(star->x) : 0.0f;
    Globals::starY = star ? static_cast<float>(star->y) : 0.0f;
}

StarMeasures measureRawStar(const RawFrame& frame, const RawStar& star, int side) {
    StarMeasures m = measureStar(readRawWindow(frame, star.x, star.y, side));
    m.centreX = star.x;
    m.centreY = star.y;
    return m;
}

StarMeasures measureRawStarAt(const RawFrame& frame, float cx, float cy, int side) {
    if (const auto star = findRawStar(frame, cx, cy, side))
        return measureRawStar(frame, *star, side);
    const StarMeasures all = measureStar(readRawWindow(frame, cx, cy, side));
    StarMeasures none;
    none.background = all.background;
    none.noise = all.noise;
    none.peak = all.peak;
    none.saturated = all.saturated;
    return none;
}
