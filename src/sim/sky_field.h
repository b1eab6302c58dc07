#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <cstdint>
#include <vector>

// A star of the simulated field. The position is on the sky, in pixels from the field's centre
// before camera rotation (x towards East, y towards South); peak is the brightness relative to
// the guide star's.
struct SimStar {
    QPointF sky;
    double peak = 1;
};

// A pixel of the sensor stuck at a high level, in frame pixels.
struct HotPixel {
    QPoint at;
    int level = 255;
};

// Stars laid out on a sky area of this size around the field centre.
inline constexpr QSize kSkyFieldArea{640, 480};

// About twenty stars, the same for the same seed. The first is the bright guide star within a
// few pixels of the centre, with no other star near it; the rest are much fainter.
std::vector<SimStar> makeStarField(uint32_t seed);

// A few hot pixels of a sensor of this size, the same for the same seed and size. They stay
// clear of the middle of the frame, where the guide star starts, and below the default guide
// star's peak, so the brightest spot of a default frame is the guide star.
std::vector<HotPixel> makeHotPixels(uint32_t seed, QSize size);
