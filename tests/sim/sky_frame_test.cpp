#include "frame_measure.h"
#include "sim/sky_simulator.h"
#include "sim/star_field.h"

#include <QLineF>
#include <gtest/gtest.h>

namespace {

SkySimulator simulator(SkyOptions o = {}, double t = 30) {
    return SkySimulator(o, std::make_shared<ManualSimClock>(t));
}

// Mean and standard deviation of the levels within 12 ADU of the median: the empty sky.
std::pair<double, double> skyLevel(const QImage& frame) {
    const double median = medianLevel(frame);
    double n = 0, sum = 0, squares = 0;
    for (int y = 0; y < frame.height(); ++y)
        for (int x = 0; x < frame.width(); ++x)
            if (const double v = grey(frame, x, y); std::abs(v - median) < 12) {
                n += 1;
                sum += v;
                squares += v * v;
            }
    const double mean = sum / n;
    return {mean, std::sqrt(squares / n - mean * mean)};
}

} // namespace

TEST(SkyFrame, SameSeedTimeAndFrameNumberGiveTheSamePicture) {
    SkySimulator a = simulator(), b = simulator();
    const QImage first = a.render();
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(first.size(), QSize(640, 480));
    EXPECT_EQ(first, b.render());
    EXPECT_EQ(a.render(), b.render()); // second frames match too
    EXPECT_NE(first, a.render());      // but each frame has new noise
    SkyOptions other;
    other.seed = 2;
    EXPECT_NE(first, simulator(other).render());
    EXPECT_NE(first, simulator({}, 31).render());
    EXPECT_EQ(renderStarField(633, 480, 1006), renderStarField(633, 480, 1006));
    EXPECT_EQ(renderStarField(633, 480, 1006).size(), QSize(633, 480));
}

TEST(SkyFrame, CentroidOfABrightStarFindsTheModelPositionToAFewHundredthsOfAPixel) {
    SkyOptions o;
    o.starBrightness = 200;
    o.noise = 0;
    o.raDrift = o.decDrift = o.peAmplitude = 0;
    o.guideRate = o.imageScale; // a pulse second moves one pixel
    SkySimulator sky = simulator(o);
    for (int step = 0; step < 6; ++step) {
        // Average over frames: each has its own jitter and shot noise.
        QPointF error;
        constexpr int kFrames = 10;
        for (int i = 0; i < kFrames; ++i) {
            const uint64_t n = sky.framesRendered();
            const QImage frame = sky.render();
            const QPointF truth = sky.guideStarPositionWithJitter(n);
            error += centroid(frame, truth, 4, medianLevel(frame)) - truth;
        }
        error /= kFrames;
        EXPECT_LT(QLineF(QPointF(), error).length(), 0.05)
            << step << ": " << error.x() << ", " << error.y();
        sky.pulse(2, 230);
        sky.pulse(1, 170);
    }
}

TEST(SkyFrame, SkyLevelAndNoiseFollowTheReadNoiseAndShotNoise) {
    SkyOptions o;
    for (double read : {0.0, 1.5, 3.0}) {
        o.noise = read;
        const auto [mean, sd] = skyLevel(simulator(o).render());
        EXPECT_NEAR(mean, 10, 0.2) << read;
        // Read noise and the sky's shot noise (2 electrons per ADU) add in quadrature.
        EXPECT_NEAR(sd, std::sqrt(read * read + 10 / 2.0), 0.1 * sd) << read;
    }
}

TEST(SkyFrame, SeeingJittersTheWholeFieldByAFractionOfTheStarWidth) {
    SkyOptions o;
    o.seeing = 4;
    SkySimulator sky = simulator(o);
    const double fwhm = 4 / o.imageScale;
    double squares = 0;
    for (uint64_t n = 0; n < 400; ++n)
        squares += std::pow(
            QLineF(sky.guideStarPosition(), sky.guideStarPositionWithJitter(n)).length(), 2);
    // Each axis about 0.15 FWHM rms.
    EXPECT_NEAR(std::sqrt(squares / 400 / 2), 0.15 * fwhm, 0.02 * fwhm);
}

TEST(SkyFrame, HotPixelsStayPutAndTheGuideStarIsTheBrightestSpot) {
    SkySimulator sky = simulator();
    const QImage a = sky.render(), b = sky.render(), c = sky.render();
    int hot = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (const double v = grey(a, x, y);
                v >= 50 && v == grey(b, x, y) && v == grey(c, x, y) &&
                QLineF(QPointF(x, y), sky.guideStarPosition()).length() > 10) {
                ++hot;
                EXPECT_GT(QLineF(QPointF(x, y), QPointF(320, 240)).length(), 40);
            }
    EXPECT_GE(hot, 3);
    EXPECT_LE(hot, 8);
    EXPECT_LT(QLineF(brightestPixel(a), sky.guideStarPosition()).length(), 2.5);
}
