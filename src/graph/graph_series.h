#pragma once

#include "guiding/guide_history.h"

#include <QList>
#include <QPointF>
#include <cstddef>
#include <vector>

// The points the guide graph draws for the last cycles of a history. x is in seconds before
// the newest record (<= 0). Errors are arcsec, or pixels when `pixels` is set.
struct StripSeries {
    // One polyline per unbroken run of found cycles: a lost cycle ends a run, so the line has
    // a gap there.
    std::vector<QList<QPointF>> ra, dec;
    // Pulses as bars standing on 0, their heights in ms, East and South upwards, West and North
    // downwards: one outline of 4 points per bar, along 0 from bar to bar, to be filled down
    // to 0. RA bars stand just before their cycle's time and Dec bars just after, so both
    // stay visible.
    QList<QPointF> raPulses, decPulses;
    QList<QPointF> lost;   // (t, 0) of every lost cycle
    double span = 0;       // seconds from the first cycle shown to the last
    double barReach = 0;   // s from a cycle to the far edge of its bars
    double maxPulseMs = 0; // longest pulse shown
};

StripSeries stripSeries(const GuideHistory& history, size_t count, bool pixels);

// (RA error, Dec error) of every found cycle among the last `count`.
QList<QPointF> driftPoints(const GuideHistory& history, size_t count, bool pixels);

// Pulse length with its sign on the graph: East and South positive.
double signedPulseMs(const PulseRequest& pulse);
