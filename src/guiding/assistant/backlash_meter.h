#pragma once

#include "guiding/calibration.h"

#include <QPointF>
#include <QString>
#include <optional>
#include <vector>

// Dec backlash: the South pulse time that goes by, after the mount has moved North, before
// the star moves South.
struct DecBacklash {
    double ms = 0;
    bool atLeast = false; // the star had not yet moved when the measurement gave up
};

// Steps in a row that each move the star at least kMovingShare of a full step make steady
// motion.
inline constexpr int kSteadySteps = 3;
inline constexpr double kMovingShare = 0.4;

// The pulse time lost before steady motion, ms, from the star's places along the pulses'
// direction (s[0] before the first pulse, s[k] after k pulses; frame pixels, growing the
// pulses' way), the pulse time sent before each place (sentMs[0] = 0) and the motion of one
// full step (px). The line through the places from the first steady step on is followed back
// to the level of the places before it. nullopt without steady motion.
std::optional<double> lostMotionMs(const std::vector<double>& s, const std::vector<double>& sentMs,
                                   double stepPx);

// The backlash a calibration's North then South legs show; `firstSouthExtraMs` is backlash
// time the guide output added to the first South pulse. nullopt without Dec legs, when a leg
// lost the star, or when the South leg never moved steadily.
std::optional<DecBacklash> backlashFromCalibration(const CalibrationPath& path,
                                                   double firstSouthExtraMs);

struct BacklashPlan {
    int32_t stepMs = 0;
    double stepPx = 0;     // how far one step moves the star once the mount moves
    QPointF driftPxPerSec; // the star's own motion, taken out of its places
    int maxNorthSteps = 20;
    int maxSouthSteps = 60;
};

// Steps that move the star five times the seeing (at least 1.5 px, at most a quarter of the
// search window's side) at `speedPxPerSec` (the Dec guide speed), 50..5000 ms. nullopt for a
// speed that is not above 0.
std::optional<BacklashPlan> planBacklash(double speedPxPerSec, double seeingPx, double searchSide,
                                         QPointF driftPxPerSec);

// The measurement, one step per exposure, as the calibration steps: North pulses until the
// star moves steadily North (any backlash cleared), then South pulses, counting the South
// pulse time before it moves steadily South.
class BacklashMeter {
public:
    void start(const BacklashPlan& plan);
    bool running() const { return running_; }
    bool southward() const { return south_; }
    int steps() const { return steps_; }
    // The star's place (frame pixels) at time tSec at the end of an exposure: the pulse to
    // send now, or nullopt once the measurement has ended.
    std::optional<PulseRequest> next(double tSec, QPointF star);
    // The pulse next() asked for went out lasting `ms` (with any backlash time the output
    // added), or did not go out: the measurement fails.
    void sent(bool out, double ms);
    void starLost();
    void stop();

    const std::optional<DecBacklash>& result() const { return result_; }
    // Why the last measurement gave no result; empty when it gave one.
    const QString& failure() const { return failure_; }

private:
    std::optional<PulseRequest> northStep(QPointF place);
    std::optional<PulseRequest> southStep(QPointF place);
    void fail(const QString& why);

    BacklashPlan plan_;
    bool running_ = false;
    bool south_ = false;
    int steps_ = 0;
    double t0_ = 0;
    std::vector<QPointF> north_; // drift taken out
    QPointF southStart_, northUnit_;
    std::vector<double> s_, sentMs_;
    double totalMs_ = 0, pendingMs_ = 0;
    std::optional<DecBacklash> result_;
    QString failure_;
};
