#pragma once

#include "measure/star_measures.h"

#include <optional>

// A round Gaussian star seen through square pixels of side 1 on a flat background B: the pixel
// whose centre is at (c, r) reads B + amplitude * P(c - x) * P(r - y), with
// P(u) = integral from u - 1/2 to u + 1/2 of exp(-t^2 / (2 sigma^2)) dt.
struct PixelGaussian {
    double x = 0, y = 0;  // centre, window pixels (pixel centres at whole numbers)
    double amplitude = 0; // peak of the Gaussian before the pixels average it, value units
    double sigma = 1;     // px; FWHM = 2.3548 sigma
};

// P(u) of the model above for a pixel whose centre lies u from the star's centre, and its
// derivatives by the star's centre (dP/dx = -dP/du) and by sigma.
struct PixelProfile {
    double value = 0, dx = 0, dsigma = 0;
};
PixelProfile pixelProfile(double u, double sigma);

// Least-squares fit (Levenberg-Marquardt) of x, y, amplitude and sigma to the pixels of `w`
// whose centres lie at most `reach` pixels from `start`'s centre along each axis, the
// background held at `background`. Left out: pixels outside the frame and those at or above
// `clipAt` (a clipped pixel only tells that the star is at least that bright). Every pixel has
// the same weight: guide stars are faint, their noise is mostly the sky's and the camera's,
// the same in every pixel. nullopt when fewer than 8 pixels remain, or when the fit does not
// settle or ends implausibly: sigma outside 0.3..reach, amplitude <= 0, or the centre more
// than `reach` from where it started.
std::optional<PixelGaussian> fitPixelGaussian(const LumWindow& w, double background,
                                              const PixelGaussian& start, int reach, double clipAt);
