#pragma once

#include "measure/AIP.h"

#include <cstddef>
#include <functional>
#include <vector>

// Values of a square of frame pixels, row by row: luminances (0..255) of the picture, or camera
// units of a raw frame. Pixel (left + c, top + r) has its centre at exactly that frame
// position, the convention of the centroid search. Pixels outside the picture hold kOutside
// and take no part in any measure.
struct LumWindow {
    static constexpr double kOutside = -1;
    int side = 0;
    int left = 0, top = 0; // frame pixel of values[0]
    std::vector<double> values;
    // A pixel at or above this value counts as saturated: 255 in the picture.
    double saturatedAt = 255;
    double at(int c, int r) const { return values[static_cast<std::size_t>(r * side + c)]; }
    bool inside(int c, int r) const { return at(c, r) != kOutside; }
};

// The side x side window centred on the frame pixel nearest (cx, cy); `lum(x, y)` is the
// luminance of frame pixel (x, y), negative outside the frame.
LumWindow readLumWindow(const std::function<double(int x, int y)>& lum, double cx, double cy,
                        int side);
// The same, read through the point query of the centroid search.
LumWindow readLumWindow(const StarPicture& picture, float cx, float cy, int side);

// Measures of one star, in luminance units (ADU of an 8-bit frame) and frame pixels.
struct StarMeasures {
    bool valid = false;     // a star stands above the noise; otherwise only the first four are set
    double background = 0;  // ADU, mean of the window's outermost ring, 3-sigma clipped once
    double noise = 0;       // ADU per pixel, standard deviation of that ring after clipping
    double peak = 0;        // ADU above background of the brightest pixel
    bool saturated = false; // some pixel of the window reaches saturatedAt: less precise centre
    double flux = 0;        // ADU above background summed over the SNR aperture
    double snr = 0;
    double hfd = 0;     // px
    double centreX = 0; // frame pixels, flux-weighted over the pixels above 3 x noise
    double centreY = 0;
};

// Camera electrons per ADU; webcams do not tell it, so SNR takes one electron per ADU.
constexpr double kAssumedElectronsPerAdu = 1.0;

// Measures the star in `w` (normally the search window about the centroid). With f = value
// minus background:
// - HFD, the half-flux diameter: the diameter of the circle about the star's centre that holds
//   half of the summed f inside the largest circle the window's inner part holds (radius
//   side/2 - 1). Each pixel's f is spread evenly over 2 x 2 sub-pixels. A Gaussian star's HFD
//   equals its FWHM.
// - SNR = S / sqrt(S / g + n (1 + n / nB) noise^2): S the summed f of the n pixels whose
//   centres lie within 1.5 HFD of the centre (about 99.8 % of a Gaussian's flux), g the
//   electrons per ADU, nB the number of ring pixels the background came from (the term n/nB is
//   the background's own uncertainty). S / g is the star's shot noise, n noise^2 that of the
//   background under the aperture.
// A window with a side below 5 measures nothing.
StarMeasures measureStar(const LumWindow& w, double electronsPerAdu = kAssumedElectronsPerAdu);

// The star about (cx, cy) in `picture`, measured over the side x side window there: what the
// guide cycle records after each search (side = the search window, Globals::searchRadius).
StarMeasures measureStarAt(const StarPicture& picture, float cx, float cy, int side);
