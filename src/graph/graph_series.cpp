#include "graph/graph_series.h"

#include <algorithm>

namespace {
// A cycle's RA bar spans 0.45 to 0.05 of the mean time between cycles before it, its Dec bar
// as much after it, so neighbouring bars never overlap.
constexpr double kBarNear = 0.05;
constexpr double kBarFar = 0.45;

size_t firstShown(const GuideHistory& history, size_t count) {
    return history.size() - std::min(count, history.size());
}

// The outline of a bar from a to b, ms high, standing on 0.
void addBar(QList<QPointF>& outline, double a, double b, double ms) {
    outline << QPointF(a, 0) << QPointF(a, ms) << QPointF(b, ms) << QPointF(b, 0);
}
} // namespace

QPointF graphError(const GuideRecord& r, GraphErrors errors) {
    if (errors == GraphErrors::framePixels)
        return {r.raPx, r.decPx};
    if (errors == GraphErrors::mountArcsec && r.onMountAxes)
        return {r.mountRaArcsec, r.mountDecArcsec};
    return {r.raArcsec, r.decArcsec};
}

double signedPulseMs(const PulseRequest& pulse) {
    const bool up = pulse.direction == guideEast || pulse.direction == guideSouth;
    return up ? pulse.ms : -pulse.ms;
}

StripSeries stripSeries(const GuideHistory& history, size_t count, GraphErrors errors) {
    StripSeries s;
    if (history.empty())
        return s;
    const size_t first = firstShown(history, count);
    const double newest = history.last().time;
    s.span = newest - history.at(first).time;
    const size_t shown = history.size() - first;
    const double step = shown > 1 ? s.span / static_cast<double>(shown - 1) : 1.0;
    s.barReach = kBarFar * step;
    bool inRun = false;
    for (size_t i = first; i < history.size(); ++i) {
        const GuideRecord& r = history.at(i);
        const double t = r.time - newest;
        if (!r.found) {
            s.lost << QPointF(t, 0);
            inRun = false;
            continue;
        }
        if (!inRun) {
            s.ra.emplace_back();
            s.dec.emplace_back();
            inRun = true;
        }
        const QPointF error = graphError(r, errors);
        s.ra.back() << QPointF(t, error.x());
        s.dec.back() << QPointF(t, error.y());
        if (r.raPulse) {
            addBar(s.raPulses, t - kBarFar * step, t - kBarNear * step, signedPulseMs(*r.raPulse));
            s.maxPulseMs = std::max<double>(s.maxPulseMs, r.raPulse->ms);
        }
        if (r.decPulse) {
            addBar(s.decPulses, t + kBarNear * step, t + kBarFar * step,
                   signedPulseMs(*r.decPulse));
            s.maxPulseMs = std::max<double>(s.maxPulseMs, r.decPulse->ms);
        }
    }
    return s;
}

QList<QPointF> driftPoints(const GuideHistory& history, size_t count, GraphErrors errors) {
    QList<QPointF> points;
    for (size_t i = firstShown(history, count); i < history.size(); ++i) {
        const GuideRecord& r = history.at(i);
        if (r.found)
            points << graphError(r, errors);
    }
    return points;
}
