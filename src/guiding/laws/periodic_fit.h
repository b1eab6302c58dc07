#pragma once

#include <optional>
#include <vector>

// A period is only told from samples that span this many of its cycles.
inline constexpr double kCyclesNeeded = 1.5;
// A harmonic needs at least this many samples per cycle to be fitted.
inline constexpr double kSamplesPerCycle = 6;

// A periodic motion: the sum of the first harmonics of `period` (s), with the line the fit
// took out left aside. Times are seconds on the samples' clock.
struct PeriodicModel {
    double period = 0;
    std::vector<double> cosine, sine; // per harmonic, from the first
    double at(double t) const;
    double rate(double t) const; // d/dt
    double peakToPeak() const;   // from crest to trough over a period
};

// A periodic model with the line fitted with it, and what tells it from noise.
struct PeriodicFit {
    PeriodicModel model;
    double offset = 0;      // the line at t = 0, the samples' unit
    double slope = 0;       // the line's rate, the samples' unit per second
    double residualRms = 0; // of the samples about line and harmonics
    // Of what a line alone leaves, the share the harmonics explain (0 when the line leaves
    // nothing).
    double share = 0;
    // The first harmonic's amplitude in standard errors of the samples' scatter about the fit.
    double firstHarmonicSigmas = 0;
    // The fit lies within a search step of the longest period tried: the true period may be
    // longer still.
    bool atLongest = false;
};

// The period in [minPeriod, maxPeriod] whose harmonics, with a line, best fit the samples (t,
// g) in the least-squares sense, and those harmonics; of the period and its multiples that fit
// about as well, the shortest. The longest period tried is at most the samples' span over
// `cycles`. None when the samples span less than `cycles` times minPeriod or are too sparse
// to resolve a harmonic of any period tried.
std::optional<PeriodicFit> searchPeriodic(const std::vector<double>& t,
                                          const std::vector<double>& g, double minPeriod,
                                          double maxPeriod, double cycles = kCyclesNeeded);

// A period for a guide law to predict with: searchPeriodic's period from a span of 1.25 of
// its cycles (the law checks it against every frame that follows), its harmonics fitted again
// on every sample so that a long history keeps the short harmonics. None with fewer than 40
// samples or when it explains less than `minShare` of what the line leaves.
std::optional<PeriodicModel> fitPeriodic(const std::vector<double>& t, const std::vector<double>& g,
                                         double minPeriod, double maxPeriod, double minShare);
