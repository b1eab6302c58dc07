#pragma once

#include "guiding/guide_history.h"

#include <QList>
#include <QPointF>
#include <cstddef>
#include <vector>

// Which errors the graph draws: along the frame's x and y in arcsec or in pixels, or along the
// mount's calibrated axes in arcsec (frame arcsec for a cycle without a calibration).
enum class GraphErrors { frameArcsec, framePixels, mountArcsec };

// (RA error, Dec error) of a found cycle as the graph draws it.
QPointF graphError(const GuideRecord& r, GraphErrors errors);

// The points the guide graph draws for the last cycles of a history. x is in seconds before
// the newest record (<= 0).
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

StripSeries stripSeries(const GuideHistory& history, size_t count, GraphErrors errors);

// (RA error, Dec error) of every found cycle among the last `count`.
QList<QPointF> driftPoints(const GuideHistory& history, size_t count, GraphErrors errors);

// Pulse length with its sign on the graph: East and South positive.
double signedPulseMs(const PulseRequest& pulse);
