#pragma once

#include "guide_analysis.h"
#include "indi_guiding_run.h"

#include <QString>
#include <vector>

// One run's figures, as printed.
struct RunFigures {
    int aggressiveness = 0;
    RunResult run;
    GuideFigures guided;
    PulseLag lag;
    double cycleSec = 0; // mean time from one guide record to the next
};
RunFigures figuresOf(int aggressiveness, RunResult run);

// The run's figures, a few lines each: star choice, calibration, errors, pulses, pulse lag and
// dithers.
void printRun(const RunFigures& f, const BenchSettings& settings);
// One line a run: the figures side by side.
void printSummary(const std::vector<RunFigures>& runs, const BenchSettings& settings);
// The guide records as CSV: time (s since the first), star found (0 or 1), star x and y, error x
// and y (px), RA and Dec error along the calibrated axes (px), the pulses sent (ms; West and South
// negative).
bool writeRecords(const QString& path, const std::vector<GuideRecord>& records,
                  const Calibration& c);
