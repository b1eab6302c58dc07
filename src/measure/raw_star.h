#pragma once

#include "measure/star_measures.h"
#include "platform/capture/raw_frame.h"

#include <optional>

// Share of the camera's maximum from which a pixel counts as saturated: sensors leave their
// linear range near the top, and some clip below it (INDI's CCD simulator at 65000 of 65535).
constexpr double kSaturatedShare = 0.9;
// The value of `frame` from which a pixel counts as saturated, camera units.
double saturationLevel(const RawFrame& frame);

// The side x side window of `frame` centred on the pixel nearest (cx, cy), in camera units,
// with saturatedAt = saturationLevel(frame); pixels outside the frame hold kOutside.
LumWindow readRawWindow(const RawFrame& frame, double cx, double cy, int side);

// A star found on a raw frame. Frame pixels, pixel centres at whole numbers (pixel (i, j)
// has its centre at x = i, y = j), the convention of the 8-bit search.
struct RawStar {
    double x = 0, y = 0;
    double background = 0; // camera units per pixel, from an annulus about the star
    double noise = 0;      // standard deviation of that annulus, camera units
    double sigma = 0;      // px, the fitted Gaussian's; 0 when the fit failed
    bool fitted = false;   // false: the centre is the thresholded centroid instead
};

// The star in the side x side window about (x, y) (the window readRawWindow reads), measured
// at the camera's depth:
// - Single hot pixels (more than 5 noise levels up while their four neighbours hold less than
//   15 % of that) are replaced by the mean of those neighbours.
// - The star is the brightest 2 x 2 block of the window's inner part; its mean must stand 2.5
//   noise levels (median and 1.4826 x median absolute deviation of the pixels about the
//   window) above the background, else there is no star.
// - Its background and noise come from a ring about it (radii reach + 2 to reach + 6, clipped at
//   3 noise levels), then a Gaussian integrated over the pixels is fitted to the pixels within
//   reach (3 sigma, 3 to 12 px) of it: an unbiased sub-pixel centre. Saturated pixels (at or
//   above saturationLevel) are left out of the fit. Should the fit fail, the centre is the
//   centroid of the pixels 3 noise levels above the background, each weighted by its height.
// nullopt when there is no star or side is below 3.
std::optional<RawStar> findRawStar(const RawFrame& frame, double x, double y, int side);

// The search of findStar(StarPicture&, ...) on a raw frame: the centre of the star in the
// Globals::searchRadius window about (x, y) in Globals::starX/starY, 0, 0 when there is none;
// a side of 0 or above 100 leaves them as they were. x and y are read before anything is
// written, so they may be starX and starY.
void findStar(const RawFrame& frame, const float& x, const float& y);

// The measures of `star` from the raw values of the side x side window about it (see
// measureStar; saturated against saturationLevel), its centre the one found.
StarMeasures measureRawStar(const RawFrame& frame, const RawStar& star, int side);
// The star found about (cx, cy), measured; not valid when there is none.
StarMeasures measureRawStarAt(const RawFrame& frame, float cx, float cy, int side);
