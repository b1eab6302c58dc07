#pragma once

#include "view/display_stretch.h"

// What the operator chose for the display stretch. Off shows the frame's picture as the camera
// path made it. Black and white are fractions 0..1 of the frame's range (0..maxValue), so one
// choice suits 8- and 16-bit frames alike; gamma as in StretchLevels.
enum class StretchMode { Off = 0, Automatic = 1, Manual = 2 };

struct StretchChoice {
    StretchMode mode = StretchMode::Off;
    double black = 0;
    double white = 1;
    double gamma = 1;
};

inline constexpr double kMinGamma = 0.2;
inline constexpr double kMaxGamma = 5.0;

// The levels `choice` gives for a frame with this histogram: Automatic takes its points from
// the histogram, Manual from the fractions (white kept above black by at least one unit); Off
// maps 0..maxValue linearly.
StretchLevels levelsFor(const StretchChoice& choice, const Histogram& histogram);
