#pragma once

#include "measure/AIP.h"
#include "measure/star_measures.h"
#include "platform/capture/raw_frame.h"

// The star search and measures on the frame as the camera gave it. A camera that gives frames
// at its own depth (`raw` not null, the frame the picture shows) is measured on those values
// (raw_star.h); any other is measured on the picture's luminance, exactly as findStar and
// measureStarAt do there. The picture is refreshed either way, as the 8-bit search does.
void findStar(StarPicture& picture, const RawFrame* raw, const float& x, const float& y);
StarMeasures measureStarAt(const StarPicture& picture, const RawFrame* raw, float cx, float cy,
                           int side);
