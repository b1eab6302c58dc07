#pragma once

#include <QString>
#include <optional>
#include <variant>

// When an imaging program may start its next exposure after a guide or a dither: the star
// within `pixels` of the target for `timeSec` seconds, at most `timeoutSec` seconds after
// settling began. Both times are whole seconds (the protocol rounds them down).
struct SettleParams {
    double pixels = 1.5;
    int timeSec = 10;
    int timeoutSec = 60;
};

// One frame while settling and not done yet.
struct SettlingStep {
    double distance;   // px from the target; 0 when the star is lost
    double inRangeSec; // seconds in range so far
    int settleTimeSec;
    bool starLocked;
};

struct SettleResult {
    bool success;
    QString error; // empty on success
    int totalFrames;
    int droppedFrames;
};

// Follows one settle operation frame by frame; times are seconds on any steady clock.
class SettleTracker {
public:
    // Frames in a row without the star after which it counts as lost for good.
    static constexpr int kLostFrames = 5;

    void begin(const SettleParams& params, double now);
    bool active() const { return active_; }

    // One guide frame: `locked` when the star was found, `distance` its distance from the
    // target in px. In range = locked and distance <= pixels. Success once in range for
    // `timeSec` whole seconds (at once when timeSec is 0); failure once `timeoutSec` whole
    // seconds have passed since begin(), checked on the frame after, or when the star was
    // missed in kLostFrames frames in a row.
    std::variant<SettlingStep, SettleResult> frame(bool locked, double distance, double now);

    // Ends the operation from outside (guiding stopped): a failure with `reason`; nothing
    // when no operation is running.
    std::optional<SettleResult> stop(const QString& reason);

private:
    SettleResult finish(bool success, const QString& error);

    SettleParams params_;
    bool active_ = false;
    double begin_ = 0;
    std::optional<double> inRangeSince_;
    int total_ = 0;
    int dropped_ = 0;
    int missedInRow_ = 0;
};
