#include "server/app_state.h"

QString appStateName(AppState state) {
    switch (state) {
    case AppState::Looping:
        return QStringLiteral("Looping");
    case AppState::Selected:
        return QStringLiteral("Selected");
    case AppState::Calibrating:
        return QStringLiteral("Calibrating");
    case AppState::Guiding:
        return QStringLiteral("Guiding");
    case AppState::LostLock:
        return QStringLiteral("LostLock");
    case AppState::Paused:
        return QStringLiteral("Paused");
    case AppState::Stopped:
        break;
    }
    return QStringLiteral("Stopped");
}

AppState appStateOf(const GuiderFlags& f) {
    // A pause with Preview switched off in the window takes no exposures: Stopped.
    if (!f.previewing)
        return AppState::Stopped;
    if (f.paused)
        return AppState::Paused;
    if (f.calibrating)
        return AppState::Calibrating;
    if (f.guiding && f.locked)
        return f.lockLost ? AppState::LostLock : AppState::Guiding;
    return f.locked ? AppState::Selected : AppState::Looping;
}
