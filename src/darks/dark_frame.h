#pragma once

#include "darks/frame_values.h"

#include <QDateTime>
#include <vector>

// A master dark: the darks of one camera, frame shape and exposure, combined.
struct DarkFrame {
    FrameShape shape;
    double exposureSec = 0;
    int frames = 0; // darks combined
    QDateTime taken;
    std::vector<float> values; // camera units, laid out as FrameValues
};

// Combines darks of one shape value by value: the mean of the frames without the highest and
// the lowest when there are at least three (a cosmic ray or a flicker in one frame does not
// count; three frames give their median), the plain mean of fewer. Frames of another shape
// than the first are left out. An empty list gives an empty dark.
DarkFrame combineDarks(const std::vector<FrameValues>& frames, double exposureSec,
                       const QDateTime& taken);

// The median of the dark's values, camera units: the level of its ordinary pixels.
double darkMedian(const DarkFrame& dark);

// Subtracts `dark` from `frame` value by value, clamped to 0..maxValue. scale is the frame's
// exposure over the dark's: what the dark holds above its median grows with it, its median
// (the bias, the same at every length) does not. false, and the frame unchanged, when the
// shapes differ.
bool subtractDark(FrameValues& frame, const DarkFrame& dark, double scale = 1.0);
