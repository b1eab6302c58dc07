// Render time of the sky simulator: a 640 x 480 frame with default options, rendered 200 times
// after a few warm-up frames; the clock advances 1 s per frame like a guiding session.
//
//   sim_bench [renders]     (default 200)

#include "sim/sky_simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
    const int renders = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    auto clock = std::make_shared<ManualSimClock>();
    SkySimulator sky({}, clock);
    for (int i = 0; i < 5; ++i)
        sky.render();
    std::vector<double> ms;
    for (int i = 0; i < renders; ++i) {
        clock->advance(1);
        const auto start = std::chrono::steady_clock::now();
        const QImage frame = sky.render();
        const auto end = std::chrono::steady_clock::now();
        if (frame.isNull())
            return 1;
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s %8s %8s %8s %6s\n", "case", "median", "min", "max", "runs");
    std::printf("%-28s %8.3f %8.3f %8.3f %6d\n", "render 640x480 (ms)", ms[ms.size() / 2],
                ms.front(), ms.back(), renders);
    return 0;
}
