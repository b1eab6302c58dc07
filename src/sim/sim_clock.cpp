#include "sim/sim_clock.h"

SimClock::~SimClock() = default;

double SteadySimClock::nowSeconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void ManualSimClock::advance(double seconds) {
    double seen = now_.load();
    while (!now_.compare_exchange_weak(seen, seen + seconds)) {
    }
}
