#include "measure/star_measures.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <numbers>
#include <random>

namespace {
struct SyntheticStar {
    double flux = 2000;        // ADU summed over the star
    double fwhm = 3;           // px
    double background = 20;    // ADU
    double readNoise = 0;      // ADU per pixel
    double gain = 1;           // electrons per ADU, for the star's shot noise
    double x = 11.3, y = 12.6; // centre, window pixels
};

// A side x side window of a Gaussian star sampled at pixel centres, with Gaussian read noise
// and the star's shot noise; nothing is rounded or clipped unless `clip`.
LumWindow render(const SyntheticStar& s, std::mt19937& random, int side = 24, bool clip = false) {
    const double sigma = s.fwhm / (2 * std::sqrt(2 * std::log(2.0)));
    std::normal_distribution<double> unit(0, 1);
    LumWindow w;
    w.side = side;
    w.left = 100;
    w.top = 200;
    for (int r = 0; r < side; ++r)
        for (int c = 0; c < side; ++c) {
            const double d2 = (c - s.x) * (c - s.x) + (r - s.y) * (r - s.y);
            const double star = s.flux / (2 * std::numbers::pi * sigma * sigma) *
                                std::exp(-d2 / (2 * sigma * sigma));
            const double sd = std::sqrt(s.readNoise * s.readNoise + star / s.gain);
            const double v = s.background + star + sd * unit(random);
            w.values.push_back(clip ? std::clamp(std::round(v), 0.0, 255.0) : v);
        }
    return w;
}

// Grey pixels of a width x height picture; -1 outside, like the frame picture.
class GreyPicture : public StarPicture {
public:
    GreyPicture(int width, int height, std::function<int(int, int)> grey)
        : width_(width), height_(height), grey_(std::move(grey)) {}
    void refresh() override {}
    int32_t Point(float x, float y) const override {
        const int c = static_cast<int>(std::floor(x)), r = static_cast<int>(std::floor(y));
        if (c < 0 || r < 0 || c >= width_ || r >= height_)
            return -1;
        const int g = grey_(c, r);
        return g | g << 8 | g << 16;
    }

private:
    int width_, height_;
    std::function<int(int, int)> grey_;
};
} // namespace

// The half-flux diameter of a Gaussian is its FWHM; the centre is the star's, in frame pixels.
TEST(StarMeasures, HfdOfAGaussianIsItsFwhm) {
    std::mt19937 random(7);
    for (double fwhm : {2.5, 3.5, 5.0}) {
        SyntheticStar s;
        s.fwhm = fwhm;
        s.gain = 1e12; // no shot noise: the star alone
        const StarMeasures m = measureStar(render(s, random));
        ASSERT_TRUE(m.valid) << fwhm;
        EXPECT_NEAR(m.hfd, fwhm, 0.05 * fwhm) << fwhm;
        EXPECT_NEAR(m.centreX, 100 + s.x, 0.05) << fwhm;
        EXPECT_NEAR(m.centreY, 200 + s.y, 0.05) << fwhm;
        EXPECT_NEAR(m.background, s.background, 1e-3);
        EXPECT_NEAR(m.flux, s.flux, 0.01 * s.flux);
    }
    SyntheticStar noisy;
    noisy.fwhm = 4;
    noisy.readNoise = 3;
    const StarMeasures m = measureStar(render(noisy, random));
    EXPECT_NEAR(m.hfd, 4, 0.4);
    EXPECT_NEAR(m.noise, 3, 0.6);
}

// SNR, against the analytic value from the star's true flux and noise, and against the scatter
// of the measured flux over many frames of the same star (the meaning of an SNR).
TEST(StarMeasures, SnrMatchesTheAnalyticValueAndTheFluxScatter) {
    std::mt19937 random(11);
    SyntheticStar s;
    s.readNoise = 4;
    const double aperturePixels = std::numbers::pi * std::pow(1.5 * s.fwhm, 2);
    const double ringPixels = 4 * 23;
    const double analytic =
        s.flux / std::sqrt(s.flux / s.gain + aperturePixels * (1 + aperturePixels / ringPixels) *
                                                 s.readNoise * s.readNoise);
    const int frames = 400;
    double sum = 0, squares = 0, snrs = 0;
    for (int i = 0; i < frames; ++i) {
        const StarMeasures m = measureStar(render(s, random));
        ASSERT_TRUE(m.valid);
        sum += m.flux;
        squares += m.flux * m.flux;
        snrs += m.snr;
    }
    const double mean = sum / frames;
    const double scatter = std::sqrt(squares / frames - mean * mean);
    EXPECT_NEAR(snrs / frames, analytic, 0.1 * analytic);
    EXPECT_NEAR(snrs / frames, mean / scatter, 0.1 * mean / scatter);
}

// Peak above background; a pixel at 255 flags the star; a flat window holds no star.
TEST(StarMeasures, PeakSaturationAndNoStar) {
    std::mt19937 random(3);
    SyntheticStar faint;
    faint.flux = 1000;
    faint.gain = 1e12;
    faint.x = 11;
    faint.y = 12;
    const StarMeasures m = measureStar(render(faint, random, 24, true));
    EXPECT_FALSE(m.saturated);
    EXPECT_NEAR(m.peak, 1000 / (2 * std::numbers::pi * std::pow(3 / 2.3548, 2)), 1.0);
    SyntheticStar bright;
    bright.flux = 8000;
    const StarMeasures b = measureStar(render(bright, random, 24, true));
    EXPECT_TRUE(b.saturated);
    EXPECT_DOUBLE_EQ(b.peak, 255 - 20);
    SyntheticStar none;
    none.flux = 0;
    none.readNoise = 2;
    const StarMeasures n = measureStar(render(none, random));
    EXPECT_FALSE(n.valid);
    EXPECT_EQ(n.snr, 0);
}

// Read through the picture's point query: a window over the picture's edge measures only the
// pixels inside (the query's 255 outside would read as a saturated star).
TEST(StarMeasures, WindowOverThePictureEdge) {
    GreyPicture picture(40, 30, [](int c, int r) {
        const double d2 = (c - 5) * (c - 5) + (r - 15) * (r - 15);
        return static_cast<int>(std::lround(30 + 150 * std::exp(-d2 / 4.5)));
    });
    const LumWindow w = readLumWindow(picture, 4.6f, 15.2f, 20);
    EXPECT_EQ(w.left, -5);
    EXPECT_EQ(w.top, 5);
    EXPECT_FALSE(w.inside(4, 0));
    EXPECT_TRUE(w.inside(5, 0));
    EXPECT_EQ(w.at(10, 10), 180); // frame pixel (5, 15)
    const StarMeasures m = measureStarAt(picture, 4.6f, 15.2f, 20);
    ASSERT_TRUE(m.valid);
    EXPECT_FALSE(m.saturated);
    EXPECT_DOUBLE_EQ(m.background, 30);
    EXPECT_DOUBLE_EQ(m.peak, 150);
    EXPECT_NEAR(m.centreX, 5, 0.05);
    EXPECT_NEAR(m.centreY, 15, 0.05);
}
