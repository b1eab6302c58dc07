#pragma once

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <unistd.h>
#include <vector>

// Median, smallest and largest of a set of samples; all zero for an empty set.
struct Spread {
    double median = 0;
    double min = 0;
    double max = 0;
};

inline Spread spreadOf(std::vector<double> samples) {
    if (samples.empty())
        return {};
    std::sort(samples.begin(), samples.end());
    return {samples[samples.size() / 2], samples.front(), samples.back()};
}

// Nearest-rank percentile, p in 0..100, of samples in any order; 0 for an empty set.
inline double percentile(std::vector<double> samples, double p) {
    if (samples.empty())
        return 0;
    std::sort(samples.begin(), samples.end());
    const auto rank = static_cast<size_t>(std::ceil(p / 100 * static_cast<double>(samples.size())));
    return samples[std::clamp<size_t>(rank, 1, samples.size()) - 1];
}

inline double rootMeanSquare(const std::vector<double>& samples) {
    double sum = 0;
    for (double s : samples)
        sum += s * s;
    return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

inline double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Runs `work` `runs` times and prints median, min and max in milliseconds as one table row.
template <class F> void timeRow(const char* name, int runs, F work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(millisecondsSince(start));
    }
    const Spread s = spreadOf(ms);
    std::printf("%-44s %10.3f %10.3f %10.3f\n", name, s.median, s.min, s.max);
}

inline void timeHeader() {
    std::printf("%-44s %10s %10s %10s\n", "measure (ms)", "median", "min", "max");
}

// One row of median, min and max, the samples multiplied by `scale` (e.g. 1000 for ms -> us).
inline void spreadRow(const char* name, const std::vector<double>& samples, double scale = 1) {
    const Spread s = spreadOf(samples);
    std::printf("%-44s %10.3f %10.3f %10.3f\n", name, s.median * scale, s.min * scale,
                s.max * scale);
}

// This process's resident memory, MB; 0 when it cannot be read.
inline double residentMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0, resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1048576.0;
}
