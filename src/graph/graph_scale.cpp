#include "graph/graph_scale.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kMinSpan = 10; // s
// Tick intervals offered, s: seconds, then minutes, then multiples of 10 minutes.
constexpr double kIntervals[] = {2, 5, 10, 15, 20, 30, 60, 120, 300, 600};
// A mark sits this fraction of the scale inside the edge, so its whole shape shows.
constexpr double kMarkInset = 0.04;
} // namespace

TimeTicks timeTicks(double seconds) {
    const double wanted = std::max(kMinSpan, seconds);
    double interval = 0;
    for (double step : kIntervals) {
        interval = step;
        if (wanted / step <= kMaxTimeTicks)
            break;
    }
    if (wanted / interval > kMaxTimeTicks)
        interval = std::ceil(wanted / kMaxTimeTicks / 600) * 600;
    return {std::ceil(wanted / interval) * interval, interval};
}

ScaleMarks outOfScaleMarks(const std::vector<QList<QPointF>>& runs, double scale) {
    ScaleMarks marks;
    const double edge = scale * (1 - kMarkInset);
    for (const QList<QPointF>& run : runs)
        for (const QPointF& p : run) {
            if (p.y() > scale)
                marks.above << QPointF(p.x(), edge);
            else if (p.y() < -scale)
                marks.below << QPointF(p.x(), -edge);
        }
    return marks;
}
