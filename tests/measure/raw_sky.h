#pragma once

#include "measure/gaussian_fit.h"
#include "platform/capture/raw_frame.h"

#include <Eigen/Dense>
#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <vector>

// Synthetic 16-bit frames of round Gaussian stars, for the raw-frame search's tests and
// benchmark. Pixel (i, j) has its centre at x = i, y = j.
struct TrueStar {
    double x = 0, y = 0;
    double amplitude = 1000; // ADU, the Gaussian's peak above the sky before pixel averaging
    double fwhm = 3;         // px
};

struct RawSky {
    int width = 64, height = 64;
    double background = 500; // ADU per pixel
    double readNoise = 10;   // ADU per pixel
    double gain = 1;         // electrons per ADU: the shot noise of sky and star
    int maxValue = 65535;    // values are clipped here, as a sensor does
    double noiseScale = 1;   // 0 renders the expected values alone (rounded)

    // The noise of one sky pixel, ADU.
    double skyNoise() const { return std::sqrt(readNoise * readNoise + background / gain); }
};

constexpr double kFwhmPerSigma = 2.3548200450309493;

// Integral of exp(-t^2 / (2 sigma^2)) over the pixel whose centre lies u from the star's
// centre, by the midpoint rule over 64 steps (kept independent of the search's closed form).
inline double pixelShare(double u, double sigma) {
    constexpr int kSteps = 64;
    double sum = 0;
    for (int k = 0; k < kSteps; ++k) {
        const double t = u - 0.5 + (k + 0.5) / kSteps;
        sum += std::exp(-t * t / (2 * sigma * sigma));
    }
    return sum / kSteps;
}

// The amplitude that puts the pixel under a star centred on it at `value` over `background`.
inline double amplitudeForPeak(double value, double fwhm, double background = 500) {
    const double centre = pixelShare(0, fwhm / kFwhmPerSigma);
    return (value - background) / (centre * centre);
}

// Expected values (ADU, before noise) of every pixel of the frame, row by row.
inline std::vector<double> expectedValues(const RawSky& sky, const std::vector<TrueStar>& stars) {
    std::vector<double> mu(static_cast<size_t>(sky.width * sky.height), sky.background);
    for (const TrueStar& s : stars) {
        const double sigma = s.fwhm / kFwhmPerSigma;
        const int reach = static_cast<int>(std::ceil(6 * sigma)) + 1;
        std::vector<double> columns, rows;
        for (int d = -reach; d <= reach; ++d) {
            columns.push_back(pixelShare(std::lround(s.x) + d - s.x, sigma));
            rows.push_back(pixelShare(std::lround(s.y) + d - s.y, sigma));
        }
        for (int j = -reach; j <= reach; ++j)
            for (int i = -reach; i <= reach; ++i) {
                const long x = std::lround(s.x) + i, y = std::lround(s.y) + j;
                if (x < 0 || y < 0 || x >= sky.width || y >= sky.height)
                    continue;
                mu[static_cast<size_t>(y * sky.width + x)] +=
                    s.amplitude * columns[size_t(i + reach)] * rows[size_t(j + reach)];
            }
    }
    return mu;
}

// The frame: expected values plus Gaussian read noise and shot noise (variance readNoise^2 +
// value / gain), rounded and held to 0..maxValue.
inline RawFrame renderRaw(const RawSky& sky, const std::vector<TrueStar>& stars,
                          std::mt19937& random) {
    RawFrame f;
    f.width = sky.width;
    f.height = sky.height;
    f.bitDepth = 16;
    f.maxValue = sky.maxValue;
    std::normal_distribution<double> unit(0, 1);
    for (double mu : expectedValues(sky, stars)) {
        const double sd = std::sqrt(sky.readNoise * sky.readNoise + mu / sky.gain);
        const double v = std::round(mu + sky.noiseScale * sd * unit(random));
        f.pixels.push_back(static_cast<uint16_t>(std::clamp(v, 0.0, double(sky.maxValue))));
    }
    return f;
}

// The Cramer-Rao bound of a star's x and y (variances, px^2): the x and y elements of the
// inverse Fisher matrix of the pixel-integrated Gaussian with x, y, amplitude, sigma and sky all
// unknown, each pixel's variance readNoise^2 + expected value / gain + 1/12 (the rounding).
inline std::array<double, 2> cramerRao(const RawSky& sky, const TrueStar& s) {
    const double sigma = s.fwhm / kFwhmPerSigma;
    const int reach = static_cast<int>(std::ceil(5 * sigma)) + 3;
    // Summed in plain loops: Eigen's expressions are slow in the tests' unoptimised build.
    Eigen::Matrix<double, 5, 5> fisher = Eigen::Matrix<double, 5, 5>::Zero();
    double* f = fisher.data();
    const long cx = std::lround(s.x), cy = std::lround(s.y);
    for (long j = cy - reach; j <= cy + reach; ++j)
        for (long i = cx - reach; i <= cx + reach; ++i) {
            const PixelProfile a = pixelProfile(double(i) - s.x, sigma);
            const PixelProfile b = pixelProfile(double(j) - s.y, sigma);
            const double mu = sky.background + s.amplitude * a.value * b.value;
            const double variance = sky.readNoise * sky.readNoise + mu / sky.gain + 1.0 / 12.0;
            const double d[5] = {s.amplitude * a.dx * b.value, s.amplitude * a.value * b.dx,
                                 a.value * b.value,
                                 s.amplitude * (a.dsigma * b.value + a.value * b.dsigma), 1.0};
            for (int p = 0; p < 5; ++p)
                for (int q = 0; q < 5; ++q)
                    f[p * 5 + q] += d[p] * d[q] / variance;
        }
    const Eigen::Matrix<double, 5, 5> bound = fisher.inverse();
    return {bound(0, 0), bound(1, 1)};
}
