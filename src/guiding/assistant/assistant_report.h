#pragma once

#include "guiding/assistant/assistant_advice.h"
#include "guiding/assistant/assistant_analysis.h"
#include "guiding/assistant/backlash_meter.h"

#include <QStringList>
#include <optional>

// Everything a guiding assistant run found and suggests.
struct AssistantResults {
    AssistantFigures figures;
    // The errors were split along a calibration's axes; otherwise they are the frame's x and y.
    bool onMountAxes = false;
    std::optional<DecBacklash> backlash;
    QString backlashNote; // why there is no backlash figure; empty when none was asked for
    AssistantAdvice advice;
};

// The results and the advice in words, one line each, with units.
QStringList assistantReport(const AssistantResults& r);
