// What the guide cycle costs, on the sky simulator as camera and the simulated telescope.
//
// (a) The guide cycle itself (PostLX), on a virtual clock and fake platform components whose
//     sleeper waits no real time, so neither the post-exposure wait nor a pulse's wait is in
//     the figures. The window is locked on the guide star and guiding. Rows: the timer tick
//     that ends an exposure (it grabs once itself, then runs PostLX), PostLX called directly,
//     the simulator's render inside PostLX's grab (a real camera's grab is a buffer copy), and
//     PostLX without that render, and the event loop's turn after PostLX, which redraws the
//     guide graph and paints. Once with the window hidden, once shown. The render's time
//     depends on whether the allocator handed its 2.4 MB of frame buffers back to the kernel
//     since the last frame (then nearly 600 minor page faults per render), hence that row.
// (b) Process CPU time (user + system, getrusage) per guided frame with the window shown and
//     the real event loop and timer running: 1 s exposures on wall time, guiding on.
//
//   guide_cycle_bench [frames]     (frames of part b, default 20; part a runs 300 cycles)
// Uses $DISPLAY when set, the offscreen platform otherwise.

#include "sim_session.h"

#include <QApplication>
#include <QProgressBar>
#include <QTimer>
#include <cstdlib>
#include <sys/resource.h>

namespace {
constexpr int kCycles = 300;

// Process CPU time (user + system, ms) and minor page faults so far.
struct Usage {
    double cpuMs = 0;
    long faults = 0;
};

Usage usageNow() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](timeval t) { return t.tv_sec * 1e3 + t.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_minflt};
}

bool cycleCost(bool shown) {
    auto clock = std::make_shared<ManualSimClock>(0);
    SimSession s({}, clock);
    s.fp.store.set("Guiding Options", "Dec Correct", "1");
    frmMain& w = s.open();
    if (shown)
        w.show();
    QApplication::processEvents();
    if (!startGuiding(s, clock.get()))
        return false;
    std::vector<double> ticks, post, render, own, faults, after;
    int lost = 0;
    for (int i = 0; i < kCycles; ++i) {
        ticks.push_back(runExposure(w, *clock));
        QApplication::processEvents();
    }
    for (int i = 0; i < kCycles; ++i) {
        clock->advance(1);
        const long faultsBefore = usageNow().faults;
        const auto start = std::chrono::steady_clock::now();
        w.PostLX();
        post.push_back(millisecondsSince(start));
        faults.push_back(static_cast<double>(usageNow().faults - faultsBefore));
        render.push_back(s.camera.lastGrabMs);
        own.push_back(post.back() - render.back());
        lost += w.state.lockLost ? 1 : 0;
        const auto drawn = std::chrono::steady_clock::now();
        QApplication::processEvents();
        after.push_back(millisecondsSince(drawn));
    }
    std::printf("%s\n", shown ? "window shown" : "window hidden");
    spreadRow("  end-of-exposure tick (grab + PostLX)", ticks);
    spreadRow("  PostLX", post);
    spreadRow("    of which the simulator's render", render);
    spreadRow("    PostLX without the render", own);
    spreadRow("  minor page faults in PostLX (count)", faults);
    spreadRow("  event loop after PostLX (graph, repaint)", after);
    if (lost > 0)
        std::printf("  (the lock was lost in %d cycles)\n", lost);
    return true;
}

struct Mark {
    Usage usage;
    double renderMs = 0;
    std::chrono::steady_clock::time_point wall;
};

// The figures between two marks, per frame.
void printPerFrame(const Mark& start, const Mark& end, int frames) {
    const double cpu = (end.usage.cpuMs - start.usage.cpuMs) / frames;
    const double faults = static_cast<double>(end.usage.faults - start.usage.faults) / frames;
    const double render = (end.renderMs - start.renderMs) / frames;
    const double wall =
        std::chrono::duration<double, std::milli>(end.wall - start.wall).count() / frames;
    std::printf("\n(b) window shown, event loop running, 1 s exposures, guiding: %d frames\n",
                frames);
    std::printf("%-44s %10s\n", "per guided frame (ms)", "value");
    std::printf("%-44s %10.3f\n", "process CPU, user + system", cpu);
    std::printf("%-44s %10.3f\n", "  of which the simulator's renders (wall)", render);
    std::printf("%-44s %10.3f\n", "  without the renders", cpu - render);
    std::printf("%-44s %10.1f\n", "wall time", wall);
    std::printf("%-44s %10.1f\n", "minor page faults (count)", faults);
}

// Counts guide cycles by the progress bar's return to 0 at the end of each one. Locks and
// starts guiding after the first, measures from the end of cycle `warmUp` on.
bool cpuPerFrame(int frames) {
    SimSession s({});
    s.fp.store.set("Guiding Options", "Dec Correct", "1");
    frmMain& w = s.open();
    w.show();
    const int warmUp = 3;
    int cycles = 0;
    bool guiding = false;
    Mark start, end;
    QObject::connect(w.ExposureProgress, &QProgressBar::valueChanged, &w, [&](int value) {
        if (value != 0)
            return;
        ++cycles;
        if (cycles == 1) {
            guiding = s.lockOnGuideStar();
            w.cmdGuide->click();
        }
        Mark& mark = cycles == warmUp ? start : end;
        mark = {usageNow(), s.camera.totalGrabMs, std::chrono::steady_clock::now()};
        if (cycles == warmUp + frames)
            QApplication::quit();
        guiding = guiding && w.state.guiding && !w.state.lockLost;
    });
    QTimer::singleShot(1500 * (warmUp + frames) + 10000, &w, [] { QApplication::exit(1); });
    w.cmdPreview->click();
    if (QApplication::exec() != 0 || !guiding)
        return false;
    printPerFrame(start, end, frames);
    return true;
}
} // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("platform: %s\n", qPrintable(QApplication::platformName()));
    std::printf("(a) guide cycle, %d cycles of 1 s exposures on a virtual clock\n", kCycles);
    timeHeader();
    if (!cycleCost(false) || !cycleCost(true)) {
        std::fprintf(stderr, "could not lock on the guide star and guide\n");
        return 1;
    }
    if (!cpuPerFrame(frames)) {
        std::fprintf(stderr, "the guided run did not complete: lock lost or timed out\n");
        return 1;
    }
    return 0;
}
