#pragma once

#include "guiding/guide_history.h"

#include <cstddef>

// Root mean square and largest magnitude of one error series.
struct AxisStats {
    double rms = 0;
    double peak = 0;
};

// Statistics over the last cycles of a history. RMS is taken about zero (the target), so a
// steady offset counts as error; total = sqrt(rms RA^2 + rms Dec^2).
struct GuideStats {
    int frames = 0; // cycles in the span, found or lost
    int lost = 0;
    AxisStats raArcsec, decArcsec, raPx, decPx;
    double totalArcsec = 0;
    double totalPx = 0;
};

// Over the last `count` records of `history` (all when it holds fewer); errors of found
// cycles only.
GuideStats guideStats(const GuideHistory& history, size_t count);

// As guideStats, over the cycles of the last guiding run among the last `count` records: a
// calibration or a lock before guiding started, or cycles after it stopped, do not count.
// None guided: no frames.
GuideStats guidingStats(const GuideHistory& history, size_t count);
