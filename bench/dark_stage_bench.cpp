// The dark stage's cost per frame: dark subtraction and bad-pixel repair of a 640 x 480 webcam
// picture (3 colours, 8 bit) and of a 1280 x 1024 16-bit raw frame (the picture then stretched
// again from it), against the frame passing with no dark in the library. Each dark holds 0.1 %
// hot pixels and one hot column. The last row is the stretch that makes the picture of a raw
// frame, which the stage makes again from the corrected frame.
//
//   dark_stage_bench [frames]     (default 50 per row)

#include "bench_util.h"
#include "darks/dark_stage.h"
#include "platform/capture/frame_stretch.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdlib>
#include <random>

namespace {
const QString kCamera = QStringLiteral("bench camera");

// A dark of `shape`: bias plus noise, hot pixels, a hot column at a tenth of the width.
DarkFrame makeDark(const FrameShape& shape, std::mt19937& random) {
    const float bias = static_cast<float>(shape.maxValue) / 50;
    std::normal_distribution<float> noise(bias, bias / 10);
    DarkFrame dark{shape, 2, 5, QDateTime::currentDateTime(), {}};
    for (size_t i = 0; i < shape.count(); ++i)
        dark.values.push_back(noise(random));
    std::uniform_int_distribution<size_t> anywhere(0, shape.count() - 1);
    for (size_t i = 0; i < shape.count() / 1000; ++i)
        dark.values[anywhere(random)] = static_cast<float>(shape.maxValue) / 2;
    const auto channels = static_cast<size_t>(shape.channels);
    for (int y = 0; y < shape.height; ++y)
        dark.values[(static_cast<size_t>(y * shape.width + shape.width / 10)) * channels] += bias;
    return dark;
}

void row(const char* name, DarkStage& stage, const QImage& picture,
         const std::shared_ptr<const RawFrame>& raw, int frames) {
    std::vector<double> ms;
    int repaired = 0;
    for (int i = 0; i < frames; ++i) {
        QImage p = picture;
        std::shared_ptr<const RawFrame> r = raw;
        const auto start = std::chrono::steady_clock::now();
        repaired = stage.apply(kCamera, 2, p, r).repaired;
        ms.push_back(millisecondsSince(start));
    }
    const Spread s = spreadOf(ms);
    std::printf("%-34s %8.2f %8.2f %8.2f %9d\n", name, s.median, s.min, s.max, repaired);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 50;
    QTemporaryDir folder;
    DarkLibrary library(folder.path());
    DarkStage stage(library);
    std::mt19937 random(1);

    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(qRgb(20, 20, 20));
    RawFrame raw;
    raw.width = 1280;
    raw.height = 1024;
    raw.bitDepth = 16;
    raw.pixels.assign(1280 * 1024, 3000);
    const auto rawFrame = std::make_shared<const RawFrame>(raw);

    std::printf("%-34s %8s %8s %8s %9s\n", "frame (ms per frame)", "median", "min", "max",
                "repaired");
    row("640x480 picture, no dark", stage, picture, nullptr, frames);
    row("1280x1024 raw, no dark", stage, QImage(), rawFrame, frames);
    QString error;
    library.store(kCamera, makeDark(shapeOf(picture), random), &error);
    library.store(kCamera, makeDark(shapeOf(raw), random), &error);
    row("640x480 picture, dark + map", stage, picture, nullptr, frames);
    row("1280x1024 raw, dark + map", stage, QImage(), rawFrame, frames);
    stage.setUseBadPixelMap(false);
    row("1280x1024 raw, dark only", stage, QImage(), rawFrame, frames);
    // What the camera's driver already spends on every such frame; the stage spends it again.
    std::vector<double> ms;
    for (int i = 0; i < frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        const QImage p = stretchToPicture(raw);
        ms.push_back(millisecondsSince(start));
    }
    const Spread s = spreadOf(ms);
    std::printf("%-34s %8.2f %8.2f %8.2f\n", "1280x1024 raw, its stretch alone", s.median, s.min,
                s.max);
    return 0;
}
