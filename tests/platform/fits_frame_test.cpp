#include "platform/capture/fits_decode.h"
#include "platform/capture/frame_stretch.h"
#include "sim/frame_measure.h"

#include <QByteArray>
#include <cmath>
#include <gtest/gtest.h>
#include <random>

namespace {
// A FITS file of `width` x `height` samples (big-endian), with extra header cards.
QByteArray fits(int bitpix, int width, int height, const std::vector<int>& stored,
                const QStringList& cards = {}) {
    QStringList all = {QStringLiteral("SIMPLE  =                    T"),
                       QStringLiteral("BITPIX  = %1").arg(bitpix, 20),
                       QStringLiteral("NAXIS   =                    2"),
                       QStringLiteral("NAXIS1  = %1").arg(width, 20),
                       QStringLiteral("NAXIS2  = %1").arg(height, 20)};
    all += cards;
    all.append(QStringLiteral("END"));
    QByteArray out;
    for (const QString& card : all)
        out += card.leftJustified(80, ' ').toLatin1();
    out += QByteArray(int((2880 - out.size() % 2880) % 2880), ' ');
    for (const int v : stored) {
        if (bitpix == 16)
            out += char((v >> 8) & 0xFF);
        out += char(v & 0xFF);
    }
    return out;
}

RawFrame decoded(const QByteArray& file, QString* error = nullptr) {
    RawFrame frame;
    QString why;
    const bool ok = decodeFits(file.constData(), size_t(file.size()), frame, why);
    if (error)
        *error = why;
    return ok ? frame : RawFrame{};
}
} // namespace

TEST(FitsDecode, ScalesStoredValuesAndKeepsRowOrder) {
    // 16-bit unsigned as INDI writes it: stored -32768..32767 with BZERO 32768.
    const RawFrame u = decoded(fits(16, 2, 2, {-32768, -1, 0, 32767}, {"BZERO   = 32768"}));
    ASSERT_EQ(u.width, 2);
    EXPECT_EQ(u.pixels, (std::vector<uint16_t>{0, 32767, 32768, 65535}));
    // BSCALE and a negative result (held to 0); first data row stays the top row.
    const RawFrame s = decoded(fits(16, 3, 1, {100, -5, 30000}, {"BSCALE  = 2", "BZERO   = 0"}));
    EXPECT_EQ(s.pixels, (std::vector<uint16_t>{200, 0, 60000}));
    const RawFrame b = decoded(fits(8, 1, 2, {10, 200}, {"BZERO   = 5", "BSCALE  = 1.0"}));
    EXPECT_EQ(b.bitDepth, 8);
    EXPECT_EQ(b.pixels, (std::vector<uint16_t>{15, 205}));
    const RawFrame up = decoded(fits(8, 1, 2, {1, 2}, {"ROWORDER= 'BOTTOM-UP'"}));
    EXPECT_EQ(up.pixels, (std::vector<uint16_t>{2, 1}));
}

TEST(FitsDecode, MergesBayerCellsToMono) {
    // RGGB checkerboard of a grey scene: R 100, G 200, B 40 everywhere.
    std::vector<int> cells;
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            cells.push_back(y % 2 == 0 ? (x % 2 == 0 ? 100 : 200) : (x % 2 == 0 ? 200 : 40));
    const RawFrame f = decoded(fits(8, 4, 4, cells, {"BAYERPAT= 'RGGB'"}));
    EXPECT_EQ(f.bayerPattern, "RGGB");
    for (const uint16_t v : f.pixels)
        EXPECT_EQ(v, 135); // (100 + 200 + 200 + 40) / 4: no checkerboard left
}

TEST(FitsDecode, RejectsWhatIsNoUsableImage) {
    QString why;
    decoded(QByteArray(4000, 'x'), &why);
    EXPECT_TRUE(why.contains("not a FITS")) << why.toStdString();
    const QByteArray whole = fits(16, 100, 100, std::vector<int>(10000, 7));
    decoded(whole.left(whole.size() - 2), &why);
    EXPECT_TRUE(why.contains("truncated")) << why.toStdString();
    decoded(whole.left(2880), &why); // header cut before END
    EXPECT_TRUE(why.contains("truncated")) << why.toStdString();
    decoded(fits(-32, 2, 2, {}), &why);
    EXPECT_TRUE(why.contains("BITPIX -32")) << why.toStdString();
}

namespace {
// A 16-bit frame: background 1200 with noise of sd 15, a Gaussian star (sd 2 px, peak 20000).
RawFrame starFrame(double cx, double cy) {
    RawFrame f;
    f.width = 120;
    f.height = 100;
    f.bitDepth = 16;
    std::mt19937 random(7);
    std::normal_distribution<double> noise(0, 15);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const double r2 = (x - cx) * (x - cx) + (y - cy) * (y - cy);
            const double v = 1200 + noise(random) + 20000 * std::exp(-r2 / 8);
            f.pixels.push_back(uint16_t(std::lround(v)));
        }
    return f;
}

// Flux-weighted centre at full depth, as frame_measure.h's centroid() on a picture.
QPointF rawCentroid(const RawFrame& f, QPointF near, int half) {
    std::vector<uint16_t> sorted = f.pixels;
    std::nth_element(sorted.begin(), sorted.begin() + long(sorted.size() / 2), sorted.end());
    const double background = sorted[sorted.size() / 2];
    const int cx = int(std::lround(near.x())), cy = int(std::lround(near.y()));
    double sum = 0, sx = 0, sy = 0;
    for (int y = cy - half; y <= cy + half; ++y)
        for (int x = cx - half; x <= cx + half; ++x) {
            const double w = f.at(x, y) - background;
            sum += w;
            sx += w * x;
            sy += w * y;
        }
    return {sx / sum, sy / sum};
}

QImage asGrey(const RawFrame& f, double (*map)(double)) {
    QImage out(f.width, f.height, QImage::Format_RGB32);
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x) {
            const int g = int(std::lround(255 * map(f.at(x, y) / 65535.0)));
            out.setPixel(x, y, qRgb(g, g, g));
        }
    return out;
}
} // namespace

TEST(FrameStretch, MapsLinearlySoTheCentroidStaysPut) {
    for (const QPointF star : {QPointF(60.3, 50.7), QPointF(41.5, 38.25), QPointF(70.9, 60.1)}) {
        const RawFrame raw = starFrame(star.x(), star.y());
        const StretchPoints points = stretchPoints(raw);
        EXPECT_GT(points.black, 1100); // the background sits near the bottom ...
        EXPECT_LT(points.black, 1200);
        const QImage picture = stretchToPicture(raw, points);
        int white = 0; // ... and the star does not clip: only its peak reaches 255
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x)
                white += qGray(picture.pixel(x, y)) == 255;
        EXPECT_LE(white, 2);
        EXPECT_GE(white, 1);
        const QPointF truth = rawCentroid(raw, star, 8);
        const QPointF mapped = centroid(picture, star, 8, medianLevel(picture));
        EXPECT_NEAR(mapped.x(), truth.x(), 0.02);
        EXPECT_NEAR(mapped.y(), truth.y(), 0.02);
        EXPECT_NEAR(truth.x(), star.x(), 0.1);
        // A gamma curve would have moved it: the check above can tell.
        const QImage gamma =
            asGrey(raw, [](double v) { return std::sqrt(std::max(0.0, v - 0.018) / 0.32); });
        const QPointF bent = centroid(gamma, star, 8, medianLevel(gamma));
        EXPECT_GT(std::hypot(bent.x() - truth.x(), bent.y() - truth.y()), 0.02);
    }
}
