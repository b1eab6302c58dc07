#include "guiding/guide_stats.h"

#include <algorithm>
#include <cmath>

namespace {
struct Accumulator {
    double squares = 0;
    double peak = 0;
    void add(double v) {
        squares += v * v;
        peak = std::max(peak, std::abs(v));
    }
    AxisStats result(int n) const { return {n > 0 ? std::sqrt(squares / n) : 0.0, peak}; }
};

// Over records [first, end).
GuideStats statsOver(const GuideHistory& history, size_t first, size_t end) {
    Accumulator ra, dec, raPx, decPx;
    GuideStats s;
    for (size_t i = first; i < end; ++i) {
        const GuideRecord& r = history.at(i);
        ++s.frames;
        if (!r.found) {
            ++s.lost;
            continue;
        }
        ra.add(r.raArcsec);
        dec.add(r.decArcsec);
        raPx.add(r.raPx);
        decPx.add(r.decPx);
    }
    const int found = s.frames - s.lost;
    s.raArcsec = ra.result(found);
    s.decArcsec = dec.result(found);
    s.raPx = raPx.result(found);
    s.decPx = decPx.result(found);
    s.totalArcsec = std::hypot(s.raArcsec.rms, s.decArcsec.rms);
    s.totalPx = std::hypot(s.raPx.rms, s.decPx.rms);
    return s;
}
} // namespace

GuideStats guideStats(const GuideHistory& history, size_t count) {
    return statsOver(history, history.size() - std::min(count, history.size()), history.size());
}

GuideStats guidingStats(const GuideHistory& history, size_t count) {
    size_t end = history.size();
    while (end > 0 && !history.at(end - 1).guiding)
        --end;
    size_t first = end;
    while (first > 0 && history.at(first - 1).guiding)
        --first;
    first = std::max(first, history.size() - std::min(count, history.size()));
    return statsOver(history, first, std::max(first, end));
}
