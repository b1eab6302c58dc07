#pragma once

#include "replay.h"

#include <string>
#include <vector>

struct LawRun {
    std::string label;
    ReplayResult result;
    std::string note; // printed below the figures when not empty
};

// The runs replay_bench prints for one sky (see there); `only` keeps the runs of one law.
std::vector<LawRun> lawRuns(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                            const std::string& only, bool grid, double backlashCompMs);

// The Hysteresis settings with the lowest rms on this sky among a grid of aggressiveness,
// hysteresis and minimum move: the one setting best for both axes together, then each axis
// with its own best setting (named in the run's note).
std::vector<LawRun> bestHysteresis(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                                   double backlashCompMs);
