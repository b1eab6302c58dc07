#pragma once

#include "guiding/calibration.h"

#include <QObject>
#include <optional>

// How a calibration steps. Each first leg (West, North) pulses until the star has moved
// distancePx or maxSteps pulses were sent; each return leg (East, South) pulses until the
// star is back within half a step of where its first leg began, or maxSteps.
struct CalibrationPlan {
    double distancePx = 25;
    int32_t raStepMs = 0; // one pulse per exposure
    int32_t decStepMs = 0;
    int maxSteps = 60; // per leg
    bool withDec = false;
};

inline constexpr double kCalibrationDistancePx = 25;
inline constexpr int kCalibrationSteps = 12; // the steps a first leg takes at the typed rates

// Steps that cover the distance in about kCalibrationSteps at the typed guide rates (arcsec
// per second). The distance is distancePx, or less where the search window (side in pixels)
// is so small that a step could carry the star past a quarter of it. nullopt when a guide
// rate in use or the image scale is not a positive number.
std::optional<CalibrationPlan> planCalibration(float raGuideRate, float decGuideRate,
                                               double arcsecPerPixel, int searchSide, bool withDec,
                                               double distancePx = kCalibrationDistancePx);

struct CalibrationProgress {
    GuideDirection direction;
    int step;          // pulses sent in this direction so far
    double distancePx; // from where this direction began
};

// The calibration's steps, one per exposure: the caller reports where the star is after each
// pulse and sends the pulse it is given. Signals tell observers how it goes.
class Calibrator : public QObject {
    Q_OBJECT
public:
    bool running() const { return running_; }
    // Begins a calibration: the next place reported is where it starts from.
    void start(const CalibrationPlan& plan, const CalibrationContext& context);
    // The star's place (frame pixels) at the end of an exposure: the pulse to send now, or
    // nullopt once the calibration has ended (completed or failed was emitted) or when none
    // is running. The first place after start() gets the first West pulse.
    std::optional<PulseRequest> next(QPointF star);
    // The star was not found: the calibration fails.
    void starLost();
    // Ends a running calibration at once, without a result.
    void stop();

    GuideDirection direction() const { return direction_; }
    // Why the last calibration failed; empty reason before any failure.
    const CalibrationFailure& lastFailure() const { return lastFailure_; }
    const CalibrationPath& path() const { return path_; }

signals:
    void started();
    void stepped(const CalibrationProgress& progress);
    void completed(const Calibration& result);
    void failed(const QString& reason);
    void stopped();

private:
    CalibrationLeg& leg();
    bool legDone(const CalibrationLeg& leg) const;
    bool advance(QPointF star);
    void finish();

    bool running_ = false;
    CalibrationPlan plan_;
    CalibrationContext context_;
    CalibrationPath path_;
    GuideDirection direction_ = guideWest;
    CalibrationFailure lastFailure_;
};

// "West step 3, 6.2 px" for the status bar and the window.
QString calibrationProgressText(const CalibrationProgress& progress);
