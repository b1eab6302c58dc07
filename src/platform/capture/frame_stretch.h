#pragma once

#include "platform/capture/raw_frame.h"

#include <QImage>

// Black and white points of the linear map from camera units to the 0..255 picture.
struct StretchPoints {
    int black = 0;
    int white = 255;
};

// The points for one 16-bit frame. Rule: white is the frame's brightest value, so no star
// clips; black lies as far below the background (the median) as the background's darker
// half spreads (median - 16th percentile, one standard deviation of a Gaussian background),
// times two, but never below the darkest value. The background then sits a few levels above 0
// and its noise is not cut off, which keeps the centroid's background estimate unbiased.
// 8-bit frames keep 0..255.
StretchPoints stretchPoints(const RawFrame& frame);

// The frame as an RGB32 grey picture: out = round((v - black) * 255 / (white - black)), held
// to 0..255. Linear, no gamma, so brightness-weighted centroids keep their place.
QImage stretchToPicture(const RawFrame& frame, StretchPoints points);
inline QImage stretchToPicture(const RawFrame& frame) {
    return stretchToPicture(frame, stretchPoints(frame));
}
