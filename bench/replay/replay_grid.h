#pragma once

#include "replay.h"

#include <string>
#include <vector>

struct LawRun {
    std::string label;
    ReplayResult result;
};

// The runs replay_bench prints for one sky (see there); `only` keeps the runs of one law.
std::vector<LawRun> lawRuns(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                            const std::string& only, bool grid, double backlashCompMs);

// The Hysteresis setting with the lowest rms total on this sky among a grid of
// aggressiveness, hysteresis and minimum move, and its result.
LawRun bestHysteresis(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                      double backlashCompMs);
