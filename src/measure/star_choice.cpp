#include "measure/star_choice.h"

#include "measure/AIP.h"
#include "measure/raw_star.h"
#include "measure/star_measures.h"

#include <algorithm>
#include <cmath>

namespace {
struct Background {
    double level = 0;
    double noise = 1;
};

double medianOf(std::vector<double>& v) {
    if (v.empty())
        return 0;
    const auto middle = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), middle, v.end());
    return *middle;
}

// Median and noise (1.4826 x median absolute deviation, at least 0.5) of the samples.
Background robust(std::vector<double> samples) {
    Background b;
    b.level = medianOf(samples);
    for (double& s : samples)
        s = std::abs(s - b.level);
    b.noise = std::max(0.5, 1.4826 * medianOf(samples));
    return b;
}

// Frames: LumaFrame (the picture's luminance) or RawFrame (camera units); both have width,
// height and at(x, y).
template <class Frame> Background frameBackground(const Frame& f) {
    std::vector<double> samples;
    for (int y = 0; y < f.height; y += 3)
        for (int x = 0; x < f.width; x += 3)
            samples.push_back(f.at(x, y));
    return robust(std::move(samples));
}

struct Candidate {
    QPointF at;
    StarMeasures measures;
};

template <class Frame> bool isPeak(const Frame& f, int x, int y, double high, double low) {
    const int v = f.at(x, y);
    if (v < high)
        return false;
    int lit = 0;
    for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        lit += f.at(x + dx, y + dy) > low ? 1 : 0;
    if (lit < 3)
        return false;
    for (int j = -1; j <= 1; ++j)
        for (int i = -1; i <= 1; ++i)
            if ((i || j) && f.at(x + i, y + j) > v)
                return false;
    return true;
}

template <class Frame>
std::vector<QPoint> peaksOf(const Frame& f, const QRect& area, const ExcludedPixels& excluded) {
    const Background b = frameBackground(f);
    std::vector<QPoint> peaks;
    const QRect inner = area.intersected(QRect(1, 1, f.width - 2, f.height - 2));
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            if (isPeak(f, x, y, b.level + 5 * b.noise, b.level + 3 * b.noise) &&
                !(excluded && excluded(x, y)))
                peaks.push_back({x, y});
    return peaks;
}

QPointF centroid(const LumaFrame& f, QPoint p, double level) {
    double w = 0, sx = 0, sy = 0;
    for (int y = std::max(0, p.y() - 3); y <= std::min(f.height - 1, p.y() + 3); ++y)
        for (int x = std::max(0, p.x() - 3); x <= std::min(f.width - 1, p.x() + 3); ++x) {
            const double v = std::max(0.0, f.at(x, y) - level);
            w += v;
            sx += v * x;
            sy += v * y;
        }
    return w > 0 ? QPointF(sx / w, sy / w) : QPointF(p);
}

// One candidate per star: peaks closer than 3 px to a brighter one are the same star.
// `measure` gives the star's centre and measures from its peak.
template <class Frame, class Measure>
std::vector<Candidate> candidatesOf(const Frame& f, const QRect& area,
                                    const ExcludedPixels& excluded, const Measure& measure) {
    std::vector<QPoint> peaks = peaksOf(f, area, excluded);
    std::sort(peaks.begin(), peaks.end(),
              [&](QPoint a, QPoint b) { return f.at(a.x(), a.y()) > f.at(b.x(), b.y()); });
    std::vector<Candidate> stars;
    for (QPoint p : peaks) {
        const bool seen = std::any_of(stars.begin(), stars.end(), [&](const Candidate& c) {
            return std::hypot(c.at.x() - p.x(), c.at.y() - p.y()) < 3.0;
        });
        if (seen)
            continue;
        stars.push_back(measure(p));
    }
    return stars;
}

std::vector<Candidate> candidatesOf(const LumaFrame& f, const QRect& area, int side,
                                    const ExcludedPixels& excluded) {
    const double level = frameBackground(f).level;
    return candidatesOf(f, area, excluded, [&](QPoint p) {
        const QPointF at = centroid(f, p, level);
        const auto lum = [&f](int x, int y) {
            return x >= 0 && y >= 0 && x < f.width && y < f.height ? f.at(x, y) : -1.0;
        };
        return Candidate{at, measureStar(readLumWindow(lum, at.x(), at.y(), side))};
    });
}

// A peak whose search window finds no star, or another (brighter) one further off, stays a
// candidate at the peak without measures: it can crowd a star but not be chosen.
std::vector<Candidate> candidatesOf(const RawFrame& f, const QRect& area, int side,
                                    const ExcludedPixels& excluded) {
    return candidatesOf(f, area, excluded, [&](QPoint p) {
        const std::optional<RawStar> star = findRawStar(f, p.x(), p.y(), side);
        if (!star || std::hypot(star->x - p.x(), star->y - p.y()) > 2.0)
            return Candidate{QPointF(p), StarMeasures{}};
        return Candidate{QPointF(star->x, star->y), measureRawStar(f, *star, side)};
    });
}

// The rules of chooseGuideStar over the candidates of a width x height frame.
std::optional<QPointF> bestOf(const std::vector<Candidate>& stars, int width, int height,
                              const StarChoiceRules& rules) {
    const double r = rules.radius;
    std::optional<Candidate> best;
    for (const Candidate& c : stars) {
        const bool nearEdge =
            c.at.x() < r || c.at.y() < r || c.at.x() > width - 1 - r || c.at.y() > height - 1 - r;
        const bool crowded = std::any_of(stars.begin(), stars.end(), [&](const Candidate& o) {
            return &o != &c && std::hypot(o.at.x() - c.at.x(), o.at.y() - c.at.y()) < r;
        });
        const StarMeasures& m = c.measures;
        if (!m.valid || m.saturated || nearEdge || crowded || m.snr < rules.minSnr)
            continue;
        if (!best || m.flux > best->measures.flux)
            best = c;
    }
    if (!best)
        return std::nullopt;
    return best->at;
}
} // namespace

LumaFrame lumaOf(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    LumaFrame f{rgb.width(), rgb.height(), {}};
    f.pixels.reserve(static_cast<size_t>(f.width) * static_cast<size_t>(f.height));
    for (int y = 0; y < f.height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < f.width; ++x)
            f.pixels.push_back(luminance(static_cast<int32_t>(
                qRed(line[x]) | (qGreen(line[x]) << 8) | (qBlue(line[x]) << 16))));
    }
    return f;
}

std::optional<QPointF> chooseGuideStar(const LumaFrame& f, const StarChoiceRules& rules,
                                       std::optional<QRect> roi, const ExcludedPixels& excluded) {
    if (f.width < 3 || f.height < 3)
        return std::nullopt;
    const QRect area = roi.value_or(QRect(0, 0, f.width, f.height));
    return bestOf(candidatesOf(f, area, rules.radius, excluded), f.width, f.height, rules);
}

std::optional<QPointF> chooseGuideStar(const RawFrame& f, const StarChoiceRules& rules,
                                       std::optional<QRect> roi, const ExcludedPixels& excluded) {
    if (f.width < 3 || f.height < 3)
        return std::nullopt;
    const QRect area = roi.value_or(QRect(0, 0, f.width, f.height));
    return bestOf(candidatesOf(f, area, rules.radius, excluded), f.width, f.height, rules);
}
