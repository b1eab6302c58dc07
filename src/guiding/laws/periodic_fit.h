#pragma once

#include <optional>
#include <vector>

// A periodic motion: the sum of the first harmonics of `period` (s), with the line the fit
// took out left aside. Times are seconds on the samples' clock.
struct PeriodicModel {
    double period = 0;
    std::vector<double> cosine, sine; // per harmonic, from the first
    double at(double t) const;
    double rate(double t) const; // d/dt
};

// The period in [minPeriod, maxPeriod] whose harmonics, with a line, best fit the samples (t,
// g) in the least-squares sense, with those harmonics; none when there are too few samples,
// the samples span less than 1.5 times the shortest period tried, or no period explains at
// least `minShare` of what the line leaves.
std::optional<PeriodicModel> fitPeriodic(const std::vector<double>& t, const std::vector<double>& g,
                                         double minPeriod, double maxPeriod, double minShare);
