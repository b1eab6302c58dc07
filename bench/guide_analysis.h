#pragma once

#include "guiding/calibration.h"
#include "guiding/guide_history.h"

#include <QPointF>
#include <optional>
#include <vector>

// The mount's axes in the frame as a calibration found them: RA the direction an East pulse
// moves the star, Dec the direction a North pulse moves it, or RA turned by +90 degrees
// (towards +y of the frame) when Dec was not calibrated. Unit vectors, frame pixels.
struct MountAxes {
    QPointF ra, dec;
    double raArcsecPerPx = 0; // the image scale along each axis
    double decArcsecPerPx = 0;

    // v (frame pixels) as lengths along the two axes, px: v = x * ra + y * dec. The axes need
    // not be square.
    QPointF split(QPointF v) const;
};
MountAxes mountAxesOf(const Calibration& c);

// How a calibration says a pulse moves the star, px along the mount's axes (x RA, y Dec):
// East +x, West -x, North +y, South -y, each the calibrated speed times the pulse's length.
// A Dec pulse moves nothing known when Dec was not calibrated: 0.
QPointF calibratedMove(const PulseRequest& pulse, const Calibration& c);

struct AxisStats {
    double rms = 0;    // about 0, the target
    double mean = 0;   // signed
    double maxAbs = 0; // largest |error|
};

// The errors of a guided run (target minus star) along the mount's axes, px, from the guide
// records with the star found; lost stars are only counted.
struct GuideFigures {
    int cycles = 0; // records with the star found
    int lost = 0;   // records with the star lost
    AxisStats ra, dec;
    double raArcsecPerPx = 0, decArcsecPerPx = 0;
    // Pulses sent and their mean length, ms.
    int raPulses = 0, decPulses = 0;
    double raPulseMs = 0, decPulseMs = 0;

    double totalPx() const;
    double raArcsec() const { return ra.rms * raArcsecPerPx; }
    double decArcsec() const { return dec.rms * decArcsecPerPx; }
    double totalArcsec() const;
};
GuideFigures guideFigures(const std::vector<GuideRecord>& records, const MountAxes& axes);

// How much of a pulse shows in the frames after it. Between frame k and frame k+1 the star
// moves along an axis by
//     nextFrame * m(k) + frameAfter * m(k-1) + driftPx
// where m(k) is the calibrated move of the pulses sent after frame k was measured (px along
// the axis). nextFrame = 1: a pulse shows fully in the frame that follows it; nextFrame 0 and
// frameAfter 1: one frame late. Fitted by least squares over every run of three records in a
// row with the star found; residualPx is the rms of what the fit leaves, px.
struct LagFit {
    double nextFrame = 0;
    double frameAfter = 0;
    double driftPx = 0; // px per frame; for the joint fit, RA's
    double residualPx = 0;
    int samples = 0;
};
// Per axis, and both axes with shared shares (a drift of each axis). An axis without pulses
// enough to fit gives nothing.
struct PulseLag {
    std::optional<LagFit> ra, dec, both;
};
PulseLag fitPulseLag(const std::vector<GuideRecord>& records, const Calibration& c);

// The least-squares solution x of rows * x = y (each row as long as x);
// nullopt when there are fewer rows than unknowns or the columns are (nearly) dependent.
std::optional<std::vector<double>> leastSquares(const std::vector<std::vector<double>>& rows,
                                                const std::vector<double>& y);
