#include "sim/sky_field.h"

#include "sim/sim_random.h"

#include <QLineF>
#include <algorithm>

namespace {
constexpr int kStarCount = 20;
constexpr int kHotPixelCount = 6;
// Nothing but the guide star within this many pixels of it, so a lock finds it alone.
constexpr double kGuideStarClearance = 30;
// Hot pixels keep this far (pixels) from the frame centre.
constexpr double kHotPixelClearance = 40;
constexpr uint64_t kFieldStream = 0x5354415253; // distinct streams per use of a seed
constexpr uint64_t kHotStream = 0x484f54;

// Faint stars keep this far (pixels) apart so each shows as one.
constexpr double kStarClearance = 6;

bool clearOf(const std::vector<SimStar>& stars, QPointF at) {
    if (QLineF(stars.front().sky, at).length() < kGuideStarClearance)
        return false;
    return std::none_of(stars.begin() + 1, stars.end(), [&](const SimStar& s) {
        return QLineF(s.sky, at).length() < kStarClearance;
    });
}
} // namespace

std::vector<SimStar> makeStarField(uint32_t seed) {
    FastRandom random(streamSeed(seed, 0, kFieldStream));
    std::vector<SimStar> stars;
    stars.push_back({QPointF(random.uniform(-12, 12), random.uniform(-10, 10)), 1.0});
    const double halfW = kSkyFieldArea.width() / 2.0;
    const double halfH = kSkyFieldArea.height() / 2.0;
    // Bounded: a crowded draw simply ends with fewer stars.
    for (int attempt = 0; attempt < 50 * kStarCount && stars.size() < kStarCount; ++attempt) {
        const QPointF at(random.uniform(-halfW, halfW), random.uniform(-halfH, halfH));
        const double peak = random.uniform(0.06, 0.4);
        if (clearOf(stars, at))
            stars.push_back({at, peak});
    }
    return stars;
}

std::vector<HotPixel> makeHotPixels(uint32_t seed, QSize size) {
    FastRandom random(
        streamSeed(seed, static_cast<uint64_t>(size.width()) << 16 | size.height(), kHotStream));
    std::vector<HotPixel> hot;
    const QPointF centre(size.width() / 2.0, size.height() / 2.0);
    for (int attempt = 0; attempt < 20 * kHotPixelCount && hot.size() < kHotPixelCount; ++attempt) {
        const QPoint at(static_cast<int>(random.uniform() * size.width()),
                        static_cast<int>(random.uniform() * size.height()));
        const int level = static_cast<int>(random.uniform(50, 140));
        if (QLineF(centre, at).length() >= kHotPixelClearance)
            hot.push_back({at, level});
    }
    return hot;
}
