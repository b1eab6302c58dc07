#include "server/exposure_choices.h"

namespace {
constexpr int kLadderMs[] = {100,  200,  500,  1000, 1500,  2000,  2500, 3000,
                             4000, 5000, 6000, 8000, 10000, 15000, 20000};
// A range stated in floating point still holds its own ends.
constexpr double kSlackSec = 1e-6;
} // namespace

QList<int> exposureChoicesMs(const std::optional<ExposureRange>& camera) {
    QList<int> choices;
    if (camera)
        for (const int ms : kLadderMs) {
            const double sec = ms / 1000.0;
            if (sec >= camera->minSec - kSlackSec && sec <= camera->maxSec + kSlackSec)
                choices.append(ms);
        }
    if (choices.isEmpty())
        for (int sec = kSliderMinExposureSec; sec <= kSliderMaxExposureSec; ++sec)
            choices.append(sec * 1000);
    return choices;
}
