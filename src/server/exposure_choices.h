#pragma once

#include "platform/capture/capture_driver.h"

#include <QList>
#include <optional>

// The exposure lengths offered to imaging programs, ms, shortest first. A camera that exposes
// on command (`camera` set) is offered the lengths from 0.1 s to 20 s of a fixed ladder that
// lie in its range; any other source (or a camera whose range holds none of them) the exposure
// slider's whole seconds, 1 to 20 s.
QList<int> exposureChoicesMs(const std::optional<ExposureRange>& camera);

// The exposure slider's range, seconds.
inline constexpr int kSliderMinExposureSec = 1;
inline constexpr int kSliderMaxExposureSec = 20;
