#pragma once

#include <QImage>
#include <cstdint>

// The sky simulator's first frame at time zero for this seed and otherwise default options:
// a dark sky with faint stars and one bright star near the centre, the same for the same seed.
// Used as the picture shown before the first frame arrives.
QImage renderStarField(int width, int height, uint32_t seed);
