#pragma once

#include "view/stretch_choice.h"

#include <QString>
#include <functional>
#include <optional>

class SettingsStore;
struct SettingKey;

// The picture's view as the settings section "View Options" keeps it. A stored value that is
// unreadable or out of range gives that key's default: Fit, stretch off, 0, 1, gamma 1, day.
struct ViewChoice {
    std::optional<double> zoom; // view pixels per frame pixel; none: Fit
    StretchChoice stretch;
    bool night = false; // night mode (see app/night_mode.h)
};

inline constexpr double kMinZoomPercent = 5;
inline constexpr double kMaxZoomPercent = 1600;

ViewChoice readViewChoice(SettingsStore& store);
// "Fit" or the zoom in whole percent.
QString zoomText(std::optional<double> zoom);
// Hands every key of the stretch to `save`, numbers with a point whatever the locale.
void saveStretch(const StretchChoice& stretch,
                 const std::function<void(const SettingKey&, const QString&)>& save);
