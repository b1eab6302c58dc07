#pragma once

#include "sim/sky_field.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <cstdint>
#include <vector>

// Everything one simulated exposure shows. Frame pixel (i, j) is centred on (i, j).
struct SkyFrame {
    QSize size;
    // Frame position of the field centre and the rotation from sky to frame: a star at sky
    // offset s lands at origin + (s.x cos - s.y sin, s.x sin + s.y cos).
    QPointF origin;
    double cosAngle = 1;
    double sinAngle = 0;
    double sigma = 1;       // Gaussian star profile, pixels
    double brightness = 0;  // peak of a star of relative peak 1, ADU
    double readNoise = 0;   // sigma, ADU
    uint64_t noiseSeed = 0; // the same seed gives the same noise
    std::vector<SimStar> stars;
    std::vector<HotPixel> hotPixels;
};

// Level of the empty sky, ADU.
inline constexpr double kSkyBackground = 10;
// Electrons per ADU: sets the shot noise, whose variance in ADU is the signal over this.
inline constexpr double kSensorGain = 2;

// Where a star of the frame lands, in frame pixels.
QPointF framePosition(const SkyFrame& frame, QPointF sky);

// The exposure as an 8-bit grey QImage::Format_RGB32 picture: sky, stars, read and shot noise,
// then hot pixels, clipped to 0..255.
QImage renderSkyFrame(const SkyFrame& frame);
