#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>

enum class PulseAxis { RA = 0, Dec = 1 };

// The guide pulses that may still be moving the mount, one per axis (a newer pulse on an axis
// replaces the older one, as mounts do). The exposure loop starts the next exposure only when
// none runs, so that a correction shows in the very next frame. Times are milliseconds of one
// monotonic clock, chosen by the caller.
class PulseWait {
public:
    // A pulse whose end is never reported counts as ended this long after its length has run.
    static constexpr double kExtraMs = 5000;
    // How often the exposure loop asks the mount while it waits.
    static constexpr int kPollMs = 20;

    // The output's answer for an axis: true while its pulse runs, false once it has ended,
    // nullopt when it cannot tell (the pulse's length then decides).
    using Report = std::function<std::optional<bool>(PulseAxis)>;

    // A pulse of lengthMs (backlash included) went out on `axis` at nowMs. reportsEnd: ask the
    // output when it ends; otherwise it runs for its length. A relay pulse, over when it
    // returns, is not noted at all.
    void sent(PulseAxis axis, double lengthMs, int64_t nowMs, bool reportsEnd);
    // Brings every running pulse up to date (asking `report` only about axes whose output
    // reports the end) and tells whether any still runs.
    bool running(int64_t nowMs, const Report& report);
    // From the send of the axis's last pulse to its end, ms; nullopt while it runs or before
    // the first.
    std::optional<double> ranMs(PulseAxis axis) const;
    // Whether the axis's last pulse was given up after its length + kExtraMs without an end.
    bool timedOut(PulseAxis axis) const;

private:
    struct Pulse {
        bool noted = false;
        bool active = false;
        bool reportsEnd = false;
        bool timedOut = false;
        int64_t sentMs = 0;
        int64_t endedMs = 0;
        double lengthMs = 0;
    };
    std::array<Pulse, 2> pulses_{};
};
