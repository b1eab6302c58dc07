#include "graph/graph_series.h"
#include "guiding/guide_history.h"
#include "guiding/guide_stats.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {
// A found cycle at `time` s with errors in arcsec, at 0.5 arcsec per pixel.
GuideRecord found(double time, double ra, double dec) {
    GuideRecord r;
    r.time = time;
    r.found = true;
    r.raArcsec = ra;
    r.decArcsec = dec;
    r.raPx = ra * 2;
    r.decPx = dec * 2;
    return r;
}

GuideRecord lost(double time) {
    GuideRecord r;
    r.time = time;
    return r;
}

// (1, -2), (3, 2), lost, (-1, 0) arcsec at t = 10 .. 13 s.
void fill(GuideHistory& h) {
    h.append(found(10, 1, -2));
    h.append(found(11, 3, 2));
    h.append(lost(12));
    h.append(found(13, -1, 0));
}
} // namespace

// RMS about the target over the found cycles of the span, peaks by magnitude, both units.
TEST(GuideStats, OverAKnownSeries) {
    GuideHistory h;
    fill(h);
    const GuideStats all = guideStats(h, 400);
    EXPECT_EQ(all.frames, 4);
    EXPECT_EQ(all.lost, 1);
    EXPECT_NEAR(all.raArcsec.rms, std::sqrt(11.0 / 3), 1e-12);
    EXPECT_NEAR(all.decArcsec.rms, std::sqrt(8.0 / 3), 1e-12);
    EXPECT_NEAR(all.totalArcsec, std::sqrt(19.0 / 3), 1e-12);
    EXPECT_DOUBLE_EQ(all.raArcsec.peak, 3);
    EXPECT_DOUBLE_EQ(all.decArcsec.peak, 2);
    EXPECT_NEAR(all.raPx.rms, 2 * std::sqrt(11.0 / 3), 1e-12);
    EXPECT_NEAR(all.totalPx, 2 * std::sqrt(19.0 / 3), 1e-12);
    EXPECT_DOUBLE_EQ(all.decPx.peak, 4);

    const GuideStats last = guideStats(h, 3); // (3, 2), lost, (-1, 0)
    EXPECT_EQ(last.frames, 3);
    EXPECT_EQ(last.lost, 1);
    EXPECT_NEAR(last.raArcsec.rms, std::sqrt(5.0), 1e-12);
    EXPECT_NEAR(last.decArcsec.rms, std::sqrt(2.0), 1e-12);
    EXPECT_DOUBLE_EQ(last.decArcsec.peak, 2);

    GuideHistory onlyLost;
    onlyLost.append(lost(1));
    const GuideStats none = guideStats(onlyLost, 100);
    EXPECT_EQ(none.lost, 1);
    EXPECT_EQ(none.totalArcsec, 0);
}

// The oldest records go once the bound is reached; every append and clear is announced.
TEST(GuideHistory, KeepsTheNewestWithinItsBound) {
    GuideHistory h(3);
    int appended = 0, cleared = 0;
    double lastTime = 0;
    QObject::connect(&h, &GuideHistory::appended, [&](const GuideRecord& r) {
        ++appended;
        lastTime = r.time;
    });
    QObject::connect(&h, &GuideHistory::cleared, [&] { ++cleared; });
    for (int t = 1; t <= 5; ++t)
        h.append(found(t, 0, 0));
    EXPECT_EQ(h.size(), 3u);
    EXPECT_EQ(h.at(0).time, 3);
    EXPECT_EQ(h.last().time, 5);
    EXPECT_EQ(appended, 5);
    EXPECT_EQ(lastTime, 5);
    h.clear();
    EXPECT_TRUE(h.empty());
    EXPECT_EQ(cleared, 1);
    EXPECT_EQ(GuideHistory().capacity(), 10000u);
}

// One line point per found cycle, a break and a marker per lost one; time before the newest
// cycle; pulses as bars of signed length (East and South up).
TEST(GraphSeries, StripAndDriftPoints) {
    GuideHistory h;
    fill(h);
    GuideRecord corrected = found(14, 0.5, -0.5);
    corrected.raPulse = PulseRequest{guideWest, 120};
    corrected.decPulse = PulseRequest{guideSouth, 80};
    h.append(corrected);

    const StripSeries s = stripSeries(h, 400, GraphErrors::frameArcsec);
    ASSERT_EQ(s.ra.size(), 2u);
    ASSERT_EQ(s.ra[0].size(), 2);
    ASSERT_EQ(s.ra[1].size(), 2);
    EXPECT_EQ(s.ra[0][0], QPointF(-4, 1));
    EXPECT_EQ(s.dec[0][1], QPointF(-3, 2));
    EXPECT_EQ(s.ra[1][1], QPointF(0, 0.5));
    ASSERT_EQ(s.lost.size(), 1);
    EXPECT_EQ(s.lost[0].x(), -2);
    EXPECT_DOUBLE_EQ(s.span, 4);
    // One bar each, 4 outline points; RA just before its cycle, Dec just after, in the
    // cycle's own share of the axis.
    ASSERT_EQ(s.raPulses.size(), 4);
    EXPECT_EQ(s.raPulses[1].y(), -120);
    EXPECT_EQ(s.raPulses[2].y(), -120);
    EXPECT_LT(s.raPulses[0].x(), s.raPulses[3].x());
    EXPECT_LT(s.raPulses[3].x(), 0);
    EXPECT_GT(s.raPulses[0].x(), -0.5);
    ASSERT_EQ(s.decPulses.size(), 4);
    EXPECT_EQ(s.decPulses[2].y(), 80);
    EXPECT_GT(s.decPulses[0].x(), 0);
    EXPECT_LE(s.decPulses[3].x(), s.barReach);
    EXPECT_EQ(s.maxPulseMs, 120);

    const StripSeries shown =
        stripSeries(h, 2, GraphErrors::framePixels); // (-1, 0), (0.5, -0.5) in px
    ASSERT_EQ(shown.ra.size(), 1u);
    EXPECT_EQ(shown.ra[0][0], QPointF(-1, -2));
    EXPECT_TRUE(shown.lost.isEmpty());

    const QList<QPointF> drift = driftPoints(h, 3, GraphErrors::frameArcsec);
    EXPECT_EQ(drift, (QList<QPointF>{{-1, 0}, {0.5, -0.5}}));
    EXPECT_TRUE(stripSeries(GuideHistory(), 100, GraphErrors::frameArcsec).ra.empty());

    // Along the mount's axes where the cycle had a calibration, else along the frame's.
    GuideRecord calibrated = found(15, 3, 4);
    calibrated.onMountAxes = true;
    calibrated.mountRaArcsec = -4;
    calibrated.mountDecArcsec = 3;
    h.append(calibrated);
    EXPECT_EQ(driftPoints(h, 2, GraphErrors::mountArcsec), (QList<QPointF>{{0.5, -0.5}, {-4, 3}}));
    EXPECT_EQ(driftPoints(h, 1, GraphErrors::frameArcsec), (QList<QPointF>{{3, 4}}));
}

// The statistics the window shows start when guiding starts: a calibration's big moves and the
// unguided cycles before guiding do not count, nor cycles after guiding stopped; a new guiding
// run starts them anew, and the graph's span still limits them.
TEST(GuideStats, GuidingStatsCountOnlyTheLastGuidingRun) {
    GuideHistory h;
    const auto add = [&h](double t, double ra, bool guiding) {
        GuideRecord r = found(t, ra, 0);
        r.guiding = guiding;
        h.append(r);
    };
    EXPECT_EQ(guidingStats(h, 100).frames, 0);
    add(1, 20, false); // a calibration step
    add(2, -15, false);
    EXPECT_EQ(guidingStats(h, 100).frames, 0);
    add(3, 1, true);
    GuideRecord gone = lost(4);
    gone.guiding = true;
    h.append(gone);
    add(5, -2, true);
    GuideStats s = guidingStats(h, 100);
    EXPECT_EQ(s.frames, 3);
    EXPECT_EQ(s.lost, 1);
    EXPECT_DOUBLE_EQ(s.raArcsec.peak, 2);
    EXPECT_NEAR(s.raArcsec.rms, std::sqrt(2.5), 1e-12);
    add(6, 30, false); // guiding stopped, calibrating again
    EXPECT_EQ(guidingStats(h, 100).frames, 3);
    EXPECT_DOUBLE_EQ(guidingStats(h, 100).raArcsec.peak, 2);
    add(7, 0.5, true);
    s = guidingStats(h, 100);
    EXPECT_EQ(s.frames, 1);
    EXPECT_DOUBLE_EQ(s.raArcsec.peak, 0.5);
    EXPECT_EQ(guidingStats(h, 0).frames, 0);
    add(8, 0.25, true);
    EXPECT_EQ(guidingStats(h, 1).frames, 1);
    EXPECT_DOUBLE_EQ(guidingStats(h, 1).raArcsec.peak, 0.25);
}
