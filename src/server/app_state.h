#pragma once

#include <QString>

// What the guider is doing, in the protocol's words.
enum class AppState { Stopped, Looping, Selected, Calibrating, Guiding, LostLock, Paused };

QString appStateName(AppState state);

struct GuiderFlags {
    bool previewing = false;
    bool locked = false;
    bool lockLost = false;
    bool calibrating = false;
    bool guiding = false;
    bool paused = false;
};

// Paused before everything; then calibrating; guiding (LostLock while its star is lost);
// a locked star while the exposures run; the exposures alone; otherwise Stopped.
AppState appStateOf(const GuiderFlags& flags);
