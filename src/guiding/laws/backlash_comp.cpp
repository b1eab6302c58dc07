#include "guiding/laws/backlash_comp.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr double kNoiseMemory = 0.05;
constexpr double kStep = 0.2;      // share of the measured backlash added or taken per verdict
constexpr double kMinJudged = 0.2; // arcsec: smaller moves say nothing, whatever the scatter
} // namespace

void BacklashCompensator::frame(double errArcsec) {
    if (!std::isfinite(errArcsec))
        return;
    if (haveErr_) {
        const double seen = lastErr_ - errArcsec; // how far the last move took the star
        if (pendingMove_ != 0) {
            const double ratio = seen / pendingMove_;
            // Only a move well clear of the frame-to-frame scatter says anything.
            if (std::fabs(pendingMove_) >= kMinJudged &&
                pendingMove_ * pendingMove_ > 4 * moveNoise_ && measuredMs_ > 0) {
                if (ratio < 0.5)
                    ms_ = std::min(ms_ + kStep * measuredMs_, 2 * measuredMs_);
                else if (ratio > 1.5)
                    ms_ = std::max(ms_ - kStep * measuredMs_, 0.0);
            }
        } else {
            const double other = seen - lastMove_;
            moveNoise_ += kNoiseMemory * (other * other - moveNoise_);
        }
    }
    lastErr_ = errArcsec;
    haveErr_ = true;
    pendingMove_ = 0;
    lastMove_ = 0;
}

double BacklashCompensator::extraMsFor(double moveArcsec) const {
    const int sign = moveArcsec > 0 ? 1 : moveArcsec < 0 ? -1 : 0;
    return sign != 0 && lastSign_ != 0 && sign != lastSign_ ? ms_ : 0;
}

void BacklashCompensator::sent(double moveArcsec, bool compensated) {
    if (moveArcsec == 0 || !std::isfinite(moveArcsec))
        return;
    lastSign_ = moveArcsec > 0 ? 1 : -1;
    lastMove_ = moveArcsec;
    if (compensated)
        pendingMove_ = moveArcsec;
}
