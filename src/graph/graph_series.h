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
    // Pulses as impulses (t, 0), (t, ms), (t, 0) in ms, East and South upwards, West and North
    // downwards. RA bars sit a little before their cycle's time and Dec bars a little after,
    // so both stay visible.
    QList<QPointF> raPulses, decPulses;
    QList<QPointF> lost;   // (t, 0) of every lost cycle
    double span = 0;       // seconds from the first cycle shown to the last
    double barOffset = 0;  // s between a bar and its cycle; the newest Dec bar lies at +barOffset
    double maxPulseMs = 0; // longest pulse shown
};

StripSeries stripSeries(const GuideHistory& history, size_t count, bool pixels);

// (RA error, Dec error) of every found cycle among the last `count`.
QList<QPointF> driftPoints(const GuideHistory& history, size_t count, bool pixels);

// Pulse length with its sign on the graph: East and South positive.
double signedPulseMs(const PulseRequest& pulse);
