#pragma once

#include <QList>
#include <QPointF>
#include <vector>

// The time axis of the guide graph: from -span to 0 seconds (plus room at the right for the
// newest bar), ticks every `interval` seconds, whole numbers, one of them at 0.
struct TimeTicks {
    double span = 0;     // s, a whole multiple of interval
    double interval = 0; // s, a whole number
};

// Ticks for `seconds` of history: at most kMaxTimeTicks intervals across, never less than
// 10 s shown.
inline constexpr int kMaxTimeTicks = 6;
TimeTicks timeTicks(double seconds);

// Where the error lines leave the chart's error axis (+-scale): one mark per point beyond it,
// at its time, just inside the edge it crossed.
struct ScaleMarks {
    QList<QPointF> above, below;
};
ScaleMarks outOfScaleMarks(const std::vector<QList<QPointF>>& runs, double scale);
