#pragma once

#include "guiding/assistant/assistant_report.h"
#include "guiding/assistant/backlash_meter.h"
#include "guiding/guide_history.h"

#include <optional>
#include <vector>

enum class AssistantState { Idle, Running, Done };

// A guiding assistant run as the engine keeps it: the frames recorded (with the assistant
// clock's time of each, seconds), the backlash measurement after them, and the results, kept
// until the next run starts.
struct AssistantRun {
    AssistantState state = AssistantState::Idle;
    double durationSec = 0;
    bool measureBacklash = false;
    double startSec = 0;
    double elapsedSec = 0;
    std::vector<std::pair<double, GuideRecord>> frames;
    std::optional<AssistantFigures> figures; // once the recording has ended
    bool onMountAxes = false;
    BacklashMeter meter;
    QString backlashNote;
    std::optional<AssistantResults> results;
};
