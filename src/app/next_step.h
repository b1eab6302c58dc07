#pragma once

#include <QString>

// What the window needs to tell the operator about the guider's state to suggest the next step.
struct NextStepState {
    bool previewing = false;
    bool focusing = false;
    bool lockArmed = false;
    bool locked = false;
    bool lockLost = false;
    bool guiding = false;
    bool calibrating = false;
    // A calibration will steer the corrections: "Use Calibration" ticked and one stored.
    bool calibrationReady = false;
};

// One line naming the operator's next step where the window waits for one; empty where the
// guider is busy on its own (calibrating, guiding).
QString nextStepHint(const NextStepState& s);
