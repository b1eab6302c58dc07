// How long the relay box really holds a guide pulse. A main window with the Parallel guide
// output sends North pulses through its own pulse path to a parallel port that stamps the
// moment the North relay line goes up and down (steady_clock), with the program's real sleeper
// holding the line. The excess is the held time minus the requested time; its median, 99th
// percentile (nearest rank) and maximum are shown per requested length. A real port adds its
// own register write time (about a microsecond) to each edge.
//
//   relay_bench [repeats]     (pulses per length up to 100 ms, default 100; fewer for longer)

#include "app/main_window_probe.h"
#include "bench_util.h"
#include "engine/Globals.h"
#include "fakes/fake_platform.h"
#include "platform/sleep/thread_sleeper.h"

#include <QApplication>
#include <cstdlib>

namespace {
using Clock = std::chrono::steady_clock;

// Stamps the rising and falling edges of one data line; every call succeeds.
class StampingPort : public ParallelPort {
public:
    explicit StampingPort(uint8_t line) : line_(line) {}
    bool PortOut(uint16_t, uint8_t) override { return true; }
    bool SetPortBit(uint16_t, uint8_t bit) override {
        if (bit == line_)
            raised = Clock::now();
        return true;
    }
    bool ClrPortBit(uint16_t, uint8_t bit) override {
        if (bit == line_)
            lowered = Clock::now();
        return true;
    }
    QString unavailableReason(uint16_t) const override { return {}; }

    Clock::time_point raised, lowered;

private:
    uint8_t line_;
};

constexpr uint8_t kNorthLine = 6; // the stored default
constexpr int kLengthsMs[] = {10, 50, 100, 500, 1000, 2000};

int repeatsFor(int ms, int repeats) {
    if (ms <= 100)
        return repeats;
    return ms <= 1000 ? std::max(1, repeats / 10) : std::max(1, repeats / 30);
}

// Sends `count` North pulses of `ms` and returns each one's hold minus `ms`, in ms.
std::vector<double> excessOf(frmMain& w, const StampingPort& port, int ms, int count) {
    std::vector<double> excess;
    for (int i = 0; i < count; ++i) {
        MainWindowProbe::pulse(w, guideNorth, ms);
        const std::chrono::duration<double, std::milli> held = port.lowered - port.raised;
        excess.push_back(held.count() - ms);
    }
    return excess;
}

void printRow(const char* name, const std::vector<double>& excessMs) {
    std::printf("%-10s %6zu %10.3f %10.3f %10.3f %10.3f\n", name, excessMs.size(),
                percentile(excessMs, 50), percentile(excessMs, 99),
                *std::max_element(excessMs.begin(), excessMs.end()),
                *std::min_element(excessMs.begin(), excessMs.end()));
}
} // namespace

int main(int argc, char** argv) {
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FakePlatform fp;
    fp.store.set("Guiding Options", "GuideMode", "Parallel");
    fp.store.set("Camera Options", "Port", "0"); // LPT1
    StampingPort port(kNorthLine);
    ThreadSleeper sleeper;
    Platform platform = fp.platform();
    platform.parallelPort = &port;
    platform.sleeper = &sleeper;
    frmMain w(platform);
    if (!w.state.modeParallel || Globals::lxPortAddress == 0) {
        std::fprintf(stderr, "the window did not take the Parallel output on LPT1\n");
        return 1;
    }
    std::printf("relay hold minus requested (ms), North line, real sleeper\n");
    std::printf("%-10s %6s %10s %10s %10s %10s\n", "length", "pulses", "p50", "p99", "max", "min");
    std::vector<double> all;
    for (int ms : kLengthsMs) {
        const std::vector<double> excess = excessOf(w, port, ms, repeatsFor(ms, repeats));
        all.insert(all.end(), excess.begin(), excess.end());
        printRow(qPrintable(QStringLiteral("%1 ms").arg(ms)), excess);
    }
    printRow("all", all);
    return 0;
}
