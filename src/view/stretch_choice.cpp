#include "view/stretch_choice.h"

#include <algorithm>

StretchLevels levelsFor(const StretchChoice& choice, const Histogram& histogram) {
    const double top = std::max(histogram.maxValue(), 1);
    const double gamma = std::clamp(choice.gamma, kMinGamma, kMaxGamma);
    switch (choice.mode) {
    case StretchMode::Automatic:
        return automaticLevels(histogram, gamma);
    case StretchMode::Manual: {
        const double black = std::clamp(choice.black, 0.0, 1.0) * top;
        const double white = std::clamp(choice.white, 0.0, 1.0) * top;
        return {std::min(black, top - 1), std::max(white, std::min(black, top - 1) + 1), gamma};
    }
    case StretchMode::Off:
        break;
    }
    return {0, top, 1};
}
