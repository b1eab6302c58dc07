// The centroid search on a 640 x 480 simulator frame held in the frame picture.
//
// Speed: time per findStar call with search sides 24 and 100, the picture hidden (its refresh
// then paints nothing) and shown on the offscreen platform (each call repaints it, as in the
// guide cycle).
//
// Accuracy, side 24: the centre found against the simulator's true centre of the guide star in
// that very frame (seeing jitter included), over a 5 x 5 grid of sub-pixel offsets made with
// short guide pulses (0.2 px each), 4 frames per offset, at guide star peaks of 30, 60, 120
// and 240 ADU above the sky (default noise and seeing otherwise). Two ways of centring the
// search: on the centre found in the frame before, as guiding does, and on the whole pixel
// nearest the true centre. Positions are frame pixels, x right, y down; an error is found
// minus true.
//
//   findstar_bench [calls]     (default 2000 per speed row)

#include "app/frame_picture.h"
#include "bench_util.h"
#include "engine/Globals.h"
#include "measure/AIP.h"
#include "platform/telescope/telescope.h"
#include "sim/sim_clock.h"
#include "sim/sky_simulator.h"

#include <QApplication>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <optional>

namespace {
void speedRow(const char* name, FramePicture& picture, QPointF star, int side, int calls) {
    Globals::searchRadius = static_cast<uint8_t>(side);
    const float x = static_cast<float>(star.x());
    const float y = static_cast<float>(star.y());
    std::vector<double> ms;
    for (int i = 0; i < calls; ++i) {
        const auto start = std::chrono::steady_clock::now();
        findStar(picture, x, y);
        ms.push_back(millisecondsSince(start));
    }
    spreadRow(name, ms, 1000);
}

void speedTable(int calls) {
    SkySimulator sky({}, std::make_shared<ManualSimClock>(0));
    FramePicture picture;
    picture.setImage(sky.render());
    const QPointF star = sky.guideStarPosition();
    std::printf("%-44s %10s %10s %10s\n", "findStar per call (us)", "median", "min", "max");
    speedRow("side 24, picture hidden", picture, star, 24, calls);
    speedRow("side 100, picture hidden", picture, star, 100, calls);
    picture.show();
    QApplication::processEvents();
    speedRow("side 24, picture shown (repaint per call)", picture, star, 24, calls);
    speedRow("side 100, picture shown (repaint per call)", picture, star, 100, calls);
}

struct Errors {
    std::vector<double> x, y;
    void add(QPointF found, QPointF truth) {
        x.push_back(found.x() - truth.x());
        y.push_back(found.y() - truth.y());
    }
};

double mean(const std::vector<double>& v) {
    double sum = 0;
    for (double s : v)
        sum += s;
    return v.empty() ? 0 : sum / static_cast<double>(v.size());
}

// Searches around (x, y); the centre found, or nothing when no pixel qualified.
std::optional<QPointF> search(FramePicture& picture, double x, double y) {
    findStar(picture, static_cast<float>(x), static_cast<float>(y));
    if (Globals::starX <= 0 && Globals::starY <= 0)
        return std::nullopt;
    return QPointF(Globals::starX, Globals::starY);
}

// 0.2 px at 15 arcsec/s and 0.80214 arcsec/px.
constexpr int kStepMs = 11;
constexpr int kFramesPerOffset = 4;

// One guide star peak: every frame is searched both ways.
class AccuracyRun {
public:
    explicit AccuracyRun(double peak)
        : sky_(optionsFor(peak), std::make_shared<ManualSimClock>(0)) {
        previous_ = sky_.guideStarPosition();
    }

    void measureFrame() {
        const uint64_t number = sky_.framesRendered();
        picture_.setImage(sky_.render());
        const QPointF truth = sky_.guideStarPositionWithJitter(number);
        if (const auto found = search(picture_, previous_.x(), previous_.y())) {
            guided.add(*found, truth);
            previous_ = *found;
        } else {
            ++misses;
        }
        if (const auto found = search(picture_, std::round(truth.x()), std::round(truth.y())))
            whole.add(*found, truth);
        else
            ++misses;
    }

    // Walks the star over 5 x 5 offsets, 0.2 px apart, East then South.
    void measureGrid() {
        for (int row = 0; row < 5; ++row) {
            for (int column = 0; column < 5; ++column) {
                for (int k = 0; k < kFramesPerOffset; ++k)
                    measureFrame();
                sky_.pulse(guideEast, kStepMs);
            }
            sky_.pulse(guideWest, 5 * kStepMs);
            sky_.pulse(guideSouth, kStepMs);
        }
    }

    Errors guided, whole;
    int misses = 0;

private:
    static SkyOptions optionsFor(double peak) {
        SkyOptions options;
        options.starBrightness = peak;
        return options;
    }

    SkySimulator sky_;
    FramePicture picture_;
    QPointF previous_;
};

void accuracyRow(double peak) {
    Globals::searchRadius = 24;
    AccuracyRun run(peak);
    run.measureGrid();
    std::printf("%8.0f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9.3f %9d\n", peak,
                rootMeanSquare(run.guided.x), rootMeanSquare(run.guided.y), mean(run.guided.x),
                mean(run.guided.y), rootMeanSquare(run.whole.x), rootMeanSquare(run.whole.y),
                mean(run.whole.x), mean(run.whole.y), run.misses);
}

void accuracyTable() {
    std::printf("\nfindStar accuracy, side 24: 25 sub-pixel offsets x %d frames per peak (px)\n",
                kFramesPerOffset);
    std::printf("%8s %39s %39s\n", "", "centred on the last centre", "on a whole pixel");
    std::printf("%8s %9s %9s %9s %9s %9s %9s %9s %9s %9s\n", "peak", "rms x", "rms y", "bias x",
                "bias y", "rms x", "rms y", "bias x", "bias y", "not found");
    for (double peak : {30.0, 60.0, 120.0, 240.0})
        accuracyRow(peak);
}
} // namespace

int main(int argc, char** argv) {
    const int calls = argc > 1 ? std::max(1, std::atoi(argv[1])) : 2000;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    speedTable(calls);
    accuracyTable();
    return 0;
}
