#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

// Runs `work` `runs` times and prints median, min and max in milliseconds as one table row.
template <class F> void timeRow(const char* name, int runs, F work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        work();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::sort(ms.begin(), ms.end());
    std::printf("%-44s %10.3f %10.3f %10.3f\n", name, ms[ms.size() / 2], ms.front(), ms.back());
}

inline void timeHeader() {
    std::printf("%-44s %10s %10s %10s\n", "measure (ms)", "median", "min", "max");
}
