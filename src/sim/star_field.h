#pragma once

#include <QImage>
#include <cstdint>

// A dark sky with Gaussian stars, the same for the same seed; one bright star sits near the
// centre. Used as the picture shown before the first frame arrives.
QImage renderStarField(int width, int height, uint32_t seed);
