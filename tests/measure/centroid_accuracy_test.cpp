#include "app/frame_picture.h"
#include "engine/Globals.h"
#include "measure/AIP.h"

#include <QImage>
#include <cmath>
#include <gtest/gtest.h>

namespace {
QImage grey(int w, int h, int level) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(qRgb(level, level, level));
    return image;
}

// A noiseless Gaussian star of FWHM `fwhm` px, `peak` levels above a sky of 20, centred at
// (cx, cy) in pixel-centre coordinates of the search (pixel i has coordinate i).
QImage gaussianStar(double cx, double cy, double fwhm, double peak) {
    QImage image = grey(200, 160, 20);
    const double sigma = fwhm / 2.3548;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            const int level =
                static_cast<int>(std::lround(20 + peak * std::exp(-r2 / (2 * sigma * sigma))));
            image.setPixel(x, y, qRgb(level, level, level));
        }
    return image;
}
} // namespace

// Frames come as 24-bit RGB; the overlays drawn over them are never read.
TEST(FramePicturePoint, BlendsFractionalColumnsReadsRowsWholeAndNeverTheOverlays) {
    QImage image(4, 3, QImage::Format_RGB888);
    image.fill(qRgb(10, 20, 30));
    image.setPixel(1, 1, qRgb(100, 40, 200));
    image.setPixel(2, 1, qRgb(0, 80, 0));
    image.setPixel(3, 1, qRgb(60, 60, 60));
    FramePicture picture;
    picture.setImage(image);
    picture.drawCircle(2, 1, 1, 255);
    picture.drawLine(0, 0, 3, 2, 255);
    EXPECT_EQ(picture.Point(0, 0), 10 | 20 << 8 | 30 << 16);
    EXPECT_EQ(picture.Point(1, 1), 100 | 40 << 8 | 200 << 16);
    EXPECT_EQ(picture.Point(1, 1.9f), 100 | 40 << 8 | 200 << 16); // rows: the pixel's own
    EXPECT_EQ(picture.Point(1.25f, 1), 75 | 50 << 8 | 150 << 16);
    EXPECT_EQ(picture.Point(1.5f, 1), 50 | 60 << 8 | 100 << 16);
    EXPECT_EQ(picture.Point(3.5f, 1), 60 | 60 << 8 | 60 << 16); // last column: itself
    for (auto [x, y] : {std::pair{-0.5f, 1.0f}, {4.0f, 0.0f}, {0.0f, 3.0f}, {0.0f, -1.0f}})
        EXPECT_EQ(picture.Point(x, y), -1) << x << "," << y;
}

// Guiding searches around the last centroid, a fractional position. The centre found must
// not depend on that fraction: over a sweep of sub-pixel positions the mean error stays near
// zero in x as in y.
TEST(CentroidAccuracy, SearchAroundAFractionalStartHasNoColumnBias) {
    Globals::searchRadius = 24;
    FramePicture picture;
    for (double fwhm : {2.0, 3.0, 4.0}) {
        double sumX = 0, sumY = 0, squaresX = 0;
        int n = 0;
        for (int k = 0; k < 10; ++k) {
            const double cx = 100.05 + 0.1 * k, cy = 80.0 + 0.07 * k;
            picture.setImage(gaussianStar(cx, cy, fwhm, 120));
            const float startX = static_cast<float>(cx + 0.37), startY = static_cast<float>(cy);
            findStar(picture, startX, startY);
            ASSERT_GT(Globals::starX, 0);
            sumX += Globals::starX - cx;
            sumY += Globals::starY - cy;
            squaresX += (Globals::starX - cx) * (Globals::starX - cx);
            ++n;
        }
        EXPECT_LT(std::fabs(sumX / n), 0.05) << "fwhm " << fwhm;
        EXPECT_LT(std::sqrt(squaresX / n), 0.15) << "fwhm " << fwhm;
        EXPECT_LT(std::fabs(sumY / n), 0.1) << "fwhm " << fwhm;
    }
}
