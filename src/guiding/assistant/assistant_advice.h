#pragma once

#include "guiding/assistant/assistant_analysis.h"

#include <QString>

// What a guiding assistant run suggests.
struct AssistantAdvice {
    int exposureMs = 2000;
    QString law; // for both axes, by name (see guideLawNames())
    QString lawReason;
    double raMinMoveArcsec = 0.1; // the law's "Minimum Move"
    double decMinMoveArcsec = 0.1;
    // For the Options dialog, when the Standard law is kept.
    double standardMinCorrectionArcsec = 0.1;
    int standardAggressiveness = 100; // percent
};

// Runs shorter or with fewer frames give too little to base a prediction on.
inline constexpr double kAdviceMinRunSec = 60;
inline constexpr int kAdviceMinFrames = 20;
// A larger share of lost frames leaves a prediction too many gaps.
inline constexpr double kAdviceMaxLostShare = 0.1;
// The smallest minimum move advised, arcsec.
inline constexpr double kAdviceMinMoveArcsec = 0.1;

// The exposure lets the mount's motion over one exposure (drift and the periodic error's
// fastest rate) reach half the seeing: longer when the seeing dominates and the mount moves
// slowly, shorter when it moves fast; at most a twentieth of the worm's period; whole seconds
// in minSec..maxSec. The minimum moves are each axis's seeing. The Standard law's minimum
// correction is 1.5 times the seeing, its aggressiveness lower the more the seeing dominates
// the mount's motion per frame (50..100 %).
AssistantAdvice adviseAssistant(const AssistantFigures& f, int minExposureSec, int maxExposureSec);
