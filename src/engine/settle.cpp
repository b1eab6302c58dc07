#include "engine/settle.h"

#include <cmath>

void SettleTracker::begin(const SettleParams& params, double now) {
    params_ = params;
    active_ = true;
    begin_ = now;
    inRangeSince_.reset();
    total_ = dropped_ = missedInRow_ = 0;
}

std::variant<SettlingStep, SettleResult> SettleTracker::frame(bool locked, double distance,
                                                              double now) {
    ++total_;
    missedInRow_ = locked ? 0 : missedInRow_ + 1;
    if (!locked)
        ++dropped_;
    if (locked && distance <= params_.pixels) {
        if (!inRangeSince_) {
            inRangeSince_ = now;
            if (params_.timeSec <= 0)
                return finish(true, {});
        } else if (std::floor(now - *inRangeSince_) >= params_.timeSec) {
            return finish(true, {});
        }
    } else {
        inRangeSince_.reset();
    }
    if (std::floor(now - begin_) >= params_.timeoutSec)
        return finish(false, QStringLiteral("timed-out waiting for guider to settle"));
    if (missedInRow_ >= kLostFrames)
        return finish(false, QStringLiteral("star lost"));
    const double inRange = inRangeSince_ ? now - *inRangeSince_ : 0.0;
    return SettlingStep{locked ? distance : 0.0, inRange, params_.timeSec, locked};
}

std::optional<SettleResult> SettleTracker::stop(const QString& reason) {
    if (!active_)
        return std::nullopt;
    return finish(false, reason);
}

SettleResult SettleTracker::finish(bool success, const QString& error) {
    active_ = false;
    return {success, error, total_, dropped_};
}
