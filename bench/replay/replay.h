#pragma once

#include "sky_model.h"

#include "guiding/laws/guide_law.h"

#include <functional>
#include <memory>

// How the replayed mount answers pulses.
struct ReplayMount {
    double raRate = 5; // px per second of pulse
    double decRate = 5;
    double scale = 1; // arcsec per px
    double maxPulseMs = 2500;
    double decBacklashMs = 0; // Dec pulse time lost after each reversal
};

struct ReplayAxis {
    double rmsPx = 0;
    int pulses = 0;
    double pulseMs = 0; // total
};

struct ReplayResult {
    ReplayAxis ra, dec;
    double totalPx() const;
};

using LawMaker = std::function<std::unique_ptr<GuideLaw>()>;

// The sky in closed loop: at frame k each law sees e_k = g_k - c_k (arcsec), where c_k sums
// the moves of the pulses asked before frame k; a move asked at frame k shows from frame k+1.
// A move is whole milliseconds of pulse at the axis rate, at most maxPulseMs; Dec loses
// decBacklashMs of the first pulse after a reversal. No Dec law: Dec is not guided.
// decBacklashCompMs: the Dec backlash the guider measured; it adds it, adapting, to each
// reversing Dec pulse (see BacklashCompensator). 0: none added.
ReplayResult replay(const std::vector<SkyRow>& sky, const ReplayMount& mount, const LawMaker& raLaw,
                    const LawMaker& decLaw, double decBacklashCompMs = 0);
