#pragma once

#include <atomic>
#include <chrono>

// The simulator's sense of time, in seconds. Any origin; only differences matter.
class SimClock {
public:
    virtual ~SimClock();
    virtual double nowSeconds() const = 0;
};

// Wall time: seconds since construction, never going backwards.
class SteadySimClock : public SimClock {
public:
    double nowSeconds() const override;

private:
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

// Time that moves only when told to; safe to set from one thread while others read.
class ManualSimClock : public SimClock {
public:
    explicit ManualSimClock(double seconds = 0) : now_(seconds) {}
    double nowSeconds() const override { return now_.load(); }
    void set(double seconds) { now_.store(seconds); }
    void advance(double seconds);

private:
    std::atomic<double> now_;
};
