#pragma once

#include "guiding/laws/periodic_fit.h"

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

// One frame of a guiding assistant run, taken with the star locked and corrections off.
// Errors are arcsec with the signs of GuideRecord (target minus star), along the mount's
// calibrated axes when known, else along the frame's x (RA) and y (Dec).
struct AssistantSample {
    double tSec = 0;    // any clock that does not go back
    bool found = false; // false: the star was lost; the other fields are not used
    double raArcsec = 0;
    double decArcsec = 0;
    QPointF starPx; // the star's centroid, frame pixels
};

// A straight line y = intercept + slope * t, fitted by least squares.
struct LineFit {
    double intercept = 0;
    double slope = 0;
    double residualRms = 0;
};
LineFit fitLine(const std::vector<double>& t, const std::vector<double>& y);

// The scatter of one axis from frame to frame, arcsec: the RMS of the differences between
// consecutive frames (their mean, the drift, taken out) divided by sqrt 2. Only pairs of frames
// found one right after the other count; a difference far beyond the others (a bad centroid)
// is left out. 0 with fewer than two such pairs.
double frameToFrameRms(const std::vector<AssistantSample>& samples, bool dec);

// Worm periods looked for, seconds.
inline constexpr double kShortestPeriodSec = 60;
inline constexpr double kLongestPeriodSec = 900;
// A period is only told from a run this many times as long.
inline constexpr double kPeriodsNeeded = kCyclesNeeded;

struct PeriodicError {
    bool measured = false; // false: `note` says why (run longer, nothing found)
    double periodSec = 0;
    double peakToPeakArcsec = 0; // of the fitted wave, every harmonic the sampling resolves
    double driftPerSec = 0;      // the line fitted with it, arcsec per second
    double residualRms = 0;      // arcsec about line and wave
    QString note;
};
// The periodic motion between kShortestPeriodSec and kLongestPeriodSec (and no longer than the
// run allows) in `y` (arcsec at times `t`, seconds), fitted with a line by least squares (see
// searchPeriodic); measured only when its first harmonic stands out of the scatter.
PeriodicError findPeriodicError(const std::vector<double>& t, const std::vector<double>& y);

// The polar alignment error the Dec drift (arcsec per minute) shows at declination decDeg:
// 3.8197 x |drift| / cos(Dec), arcmin. Only the share of the error that drifts the star in Dec
// at this place of the sky shows.
double polarAlignmentArcmin(double decDriftPerMin, double decDeg);

struct AxisFigures {
    double seeingRms = 0;   // arcsec, see frameToFrameRms
    double driftPerMin = 0; // the error's rate, arcsec per minute
    double rms = 0;         // arcsec about the mean
    double residualRms = 0; // arcsec about the drift (and on RA the periodic error)
};

struct PolarAlignment {
    double errorArcmin = 0;
    double declinationDeg = 0; // used in the estimate
    QString note;              // what the estimate assumes; empty when nothing
};

struct AssistantFigures {
    double durationSec = 0;
    int frames = 0;
    int lostFrames = 0;
    AxisFigures ra, dec;
    PeriodicError pe; // of RA
    PolarAlignment polar;
    QPointF driftPxPerSec; // the star's own motion in the frame, pixels per second
};

// Every figure of a run; `declinationDeg` is the mount's when it can say (else the equator is
// assumed and the polar alignment note says so). Needs at least three frames with the star.
std::optional<AssistantFigures> analyseAssistantRun(const std::vector<AssistantSample>& samples,
                                                    std::optional<double> declinationDeg);
