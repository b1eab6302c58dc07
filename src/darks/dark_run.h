#pragma once

#include "darks/dark_frame.h"

#include <QString>
#include <optional>
#include <vector>

// What to take: `frames` darks at each exposure of the list, seconds.
struct DarkPlan {
    static constexpr int kDefaultFrames = 5;
    static constexpr int kMaxFrames = 100;
    int frames = kDefaultFrames;
    std::vector<double> exposuresSec;
};

// Exposures typed as a list ("1, 2, 4" or "0.5 1"), seconds; nullopt when one is not a number
// above 0 and at most maxSec, or there are none. Repeats count once.
std::optional<std::vector<double>> parseExposureList(const QString& text, double maxSec);

// Taking the darks of a plan, one frame at a time: the frames of each exposure are combined
// into its dark once all are in.
class DarkRun {
public:
    explicit DarkRun(DarkPlan plan);

    bool done() const { return exposure_ >= plan_.exposuresSec.size(); }
    // The exposure the next frame must have, seconds; 0 once done.
    double exposureSec() const;
    int framesTaken() const { return taken_; }
    int framesWanted() const;

    // Takes a frame exposed `exposureSec`. One of another exposure (an exposure that began
    // before the run) is not taken; a frame of another shape than those before it starts the
    // exposure's frames again. The exposure's dark once this was its last frame.
    std::optional<DarkFrame> add(FrameValues frame, double exposureSec, const QDateTime& now);

private:
    DarkPlan plan_;
    size_t exposure_ = 0;
    std::vector<FrameValues> frames_;
    int taken_ = 0;
};
