#include "measure/frame_image.h"

#include <cmath>

void FrameImage::setImage(const QImage& image) {
    image_ = image.format() == QImage::Format_RGB32 ? image
                                                    : image.convertToFormat(QImage::Format_RGB32);
}

// A fractional column blends the two neighbouring pixels, weights 1 - f and f on each colour
// channel (rounded to whole levels), so a centroid searched around a fractional position is not
// shifted by the fraction. Whole columns, and rows, read the pixel itself; the last column reads
// itself at any fraction.
int32_t FrameImage::Point(float x, float y) const {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    if (!(fx >= 0 && fy >= 0 && fx < image_.width() && fy < image_.height()))
        return -1;
    const auto* row = reinterpret_cast<const QRgb*>(image_.constScanLine(int(fy)));
    const int column = int(fx);
    const QRgb left = row[column];
    const float f = x - fx;
    if (f == 0.0f || column + 1 >= image_.width())
        return static_cast<int32_t>(qRed(left) | (qGreen(left) << 8) | (qBlue(left) << 16));
    const QRgb right = row[column + 1];
    const auto blend = [f](int a, int b) {
        return static_cast<int32_t>(std::lround((1.0f - f) * float(a) + f * float(b)));
    };
    return blend(qRed(left), qRed(right)) | (blend(qGreen(left), qGreen(right)) << 8) |
           (blend(qBlue(left), qBlue(right)) << 16);
}
