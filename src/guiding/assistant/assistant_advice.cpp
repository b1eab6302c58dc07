#include "guiding/assistant/assistant_advice.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
double roundTo(double v, double step) {
    return std::round(v / step) * step;
}

// The fastest the star moves on its own, arcsec per second.
double mountRate(const AssistantFigures& f) {
    double rate = std::max(std::fabs(f.ra.driftPerMin), std::fabs(f.dec.driftPerMin)) / 60;
    if (f.pe.measured)
        rate += std::numbers::pi * f.pe.peakToPeakArcsec / f.pe.periodSec;
    return rate;
}

double seeing(const AssistantFigures& f) {
    return std::max(f.ra.seeingRms, f.dec.seeingRms);
}

int exposureSec(const AssistantFigures& f, int minSec, int maxSec) {
    const double rate = mountRate(f);
    double sec = rate > 0 ? 0.5 * seeing(f) / rate : maxSec;
    if (f.pe.measured)
        sec = std::min(sec, f.pe.periodSec / 20);
    return static_cast<int>(
        std::clamp(std::lround(sec), static_cast<long>(minSec), static_cast<long>(maxSec)));
}

void adviseLaw(const AssistantFigures& f, AssistantAdvice& a) {
    const int found = f.frames - f.lostFrames;
    if (f.durationSec < kAdviceMinRunSec || found < kAdviceMinFrames) {
        a.law = QStringLiteral("Hysteresis");
        a.lawReason = QStringLiteral("too little data for a prediction: run at least %1 s")
                          .arg(kAdviceMinRunSec);
    } else if (f.lostFrames > kAdviceMaxLostShare * f.frames) {
        a.law = QStringLiteral("Hysteresis");
        a.lawReason = QStringLiteral("the star was lost in %1 of %2 frames: a prediction "
                                     "needs steady frames")
                          .arg(f.lostFrames)
                          .arg(f.frames);
    } else {
        a.law = QStringLiteral("Predictive");
        a.lawReason =
            QStringLiteral("it follows the drift%1 between frames")
                .arg(f.pe.measured ? QStringLiteral(" and the periodic error") : QString());
    }
}
} // namespace

AssistantAdvice adviseAssistant(const AssistantFigures& f, int minExposureSec, int maxExposureSec) {
    AssistantAdvice a;
    const int sec = exposureSec(f, minExposureSec, maxExposureSec);
    a.exposureMs = sec * 1000;
    adviseLaw(f, a);
    a.raMinMoveArcsec = std::max(kAdviceMinMoveArcsec, roundTo(f.ra.seeingRms, 0.05));
    a.decMinMoveArcsec = std::max(kAdviceMinMoveArcsec, roundTo(f.dec.seeingRms, 0.05));
    a.standardMinCorrectionArcsec = std::max(kAdviceMinMoveArcsec, roundTo(1.5 * seeing(f), 0.1));
    const double perFrame = seeing(f) > 0 ? mountRate(f) * sec / seeing(f) : 1;
    const double percent = perFrame >= 1 ? 100 : 60 + 40 * perFrame;
    a.standardAggressiveness = static_cast<int>(std::clamp(roundTo(percent, 5), 50.0, 100.0));
    return a;
}
