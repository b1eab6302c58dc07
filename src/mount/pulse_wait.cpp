#include "mount/pulse_wait.h"

#include <cmath>

void PulseWait::sent(PulseAxis axis, double lengthMs, int64_t nowMs, bool reportsEnd) {
    Pulse& p = pulses_[static_cast<size_t>(axis)];
    p = Pulse{};
    p.noted = true;
    p.active = true;
    p.reportsEnd = reportsEnd;
    p.sentMs = nowMs;
    p.endedMs = nowMs;
    p.lengthMs = std::isfinite(lengthMs) && lengthMs > 0 ? lengthMs : 0;
}

bool PulseWait::running(int64_t nowMs, const Report& report) {
    bool any = false;
    for (size_t i = 0; i < pulses_.size(); ++i) {
        Pulse& p = pulses_[i];
        if (!p.active)
            continue;
        const double elapsed = static_cast<double>(nowMs - p.sentMs);
        bool ended = elapsed >= p.lengthMs;
        if (elapsed >= p.lengthMs + kExtraMs) {
            p.timedOut = p.reportsEnd;
        } else if (p.reportsEnd) {
            const std::optional<bool> runs =
                report ? report(static_cast<PulseAxis>(i)) : std::nullopt;
            if (runs)
                ended = !*runs;
        }
        if (ended) {
            p.active = false;
            p.endedMs = nowMs;
        }
        any = any || p.active;
    }
    return any;
}

std::optional<double> PulseWait::ranMs(PulseAxis axis) const {
    const Pulse& p = pulses_[static_cast<size_t>(axis)];
    if (!p.noted || p.active)
        return std::nullopt;
    return static_cast<double>(p.endedMs - p.sentMs);
}

bool PulseWait::timedOut(PulseAxis axis) const {
    return pulses_[static_cast<size_t>(axis)].timedOut;
}
