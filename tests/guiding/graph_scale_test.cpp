#include "graph/graph_scale.h"

#include <cmath>
#include <gtest/gtest.h>

// Whatever the history's length, the time axis ends at 0 on a tick, its ticks are whole
// seconds a whole number of intervals apart, it covers the history and never shows more than
// kMaxTimeTicks intervals; a short history still spans 10 s.
TEST(GraphScale, TimeTicksAreWholeAndEndAtZero) {
    for (double seconds : {0.0, 3.0, 10.0, 10.5, 59.0, 61.0, 179.0, 180.0, 181.0, 400.0, 600.0,
                           1234.0, 3600.0, 7200.0, 20000.0}) {
        const TimeTicks t = timeTicks(seconds);
        SCOPED_TRACE(seconds);
        EXPECT_GE(t.span, std::max(10.0, seconds));
        EXPECT_EQ(t.interval, std::round(t.interval));
        const double intervals = t.span / t.interval;
        EXPECT_EQ(intervals, std::round(intervals));
        EXPECT_LE(intervals, kMaxTimeTicks);
        EXPECT_GE(intervals, 2);
        // No more than one interval beyond what the history needs.
        EXPECT_LT(t.span - t.interval, std::max(10.0, seconds));
    }
    // The three minutes that used to read -179 .. 5 now read -180, -150, .. 0.
    EXPECT_EQ(timeTicks(179).span, 180);
    EXPECT_EQ(timeTicks(179).interval, 30);
}

// A point beyond the scale gives a mark at its time just inside the edge it crossed; points on
// or inside the edge give none; every run is looked at.
TEST(GraphScale, OutOfScaleMarks) {
    const std::vector<QList<QPointF>> runs = {
        {QPointF(-5, 4), QPointF(-4, 4.01), QPointF(-3, -9)},
        {},
        {QPointF(-1, -4), QPointF(0, 100)},
    };
    const ScaleMarks m = outOfScaleMarks(runs, 4);
    ASSERT_EQ(m.above.size(), 2);
    ASSERT_EQ(m.below.size(), 1);
    EXPECT_EQ(m.above[0].x(), -4);
    EXPECT_EQ(m.above[1].x(), 0);
    EXPECT_EQ(m.below[0].x(), -3);
    for (const QPointF& p : m.above) {
        EXPECT_LT(p.y(), 4);
        EXPECT_GT(p.y(), 3.5);
    }
    EXPECT_GT(m.below[0].y(), -4);
    EXPECT_LT(m.below[0].y(), -3.5);
    EXPECT_TRUE(outOfScaleMarks(runs, 200).above.isEmpty());
}
