#pragma once

#include "sim/mount_model.h"
#include "sim/sim_clock.h"
#include "sim/sky_field.h"
#include "sim/sky_options.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

struct SkyFrame;

// A camera on a guidescope riding an imperfect mount, for trying the guider without a sky.
//
// The star field is fixed by the seed; the mount's pointing error (drift, periodic error, guide
// pulses) moves it across the frame as the clock runs. Frame coordinates have x to the right
// and y down, pixel (i, j) centred on (i, j). With camera angle a (degrees) the East direction
// of the sky points along (cos a, sin a) in the frame and North along (sin a, -cos a): at 0
// East is +x and North is -y, at 90 East is +y and North is +x.
//
// Every member may be called from any thread; pulse() typically comes from a telescope
// driver's thread while frames are rendered on another.
class SkySimulator {
public:
    // Options are kept within the ranges of skyOptionFields(). A null clock means wall time.
    // Drift counts from construction; the periodic error's phase from the clock's zero.
    explicit SkySimulator(SkyOptions options = {}, std::shared_ptr<SimClock> clock = nullptr);

    SkyOptions options() const;
    // Takes effect from the clock's current time on; drift changes never make the field jump.
    void setOptions(const SkyOptions& options);

    QSize frameSize() const;
    // Sizes from 16 x 16 to 4096 x 4096 are taken, others ignored. The field stays centred,
    // so the guide star shows in any of them.
    void setFrameSize(QSize size);

    // A guide pulse: moves the mount at the guide rate for `ms` milliseconds in direction 0
    // North, 1 South, 2 East, 3 West. The move shows at once; ms <= 0 or another direction
    // does nothing.
    void pulse(int direction, int ms);

    // Points the mount at declination `decDeg` (-89..89) on the given side of the pier, where
    // the same guide star stays in view. Until the first slew the mount has no pointing to
    // tell and moves as at the equator. At `decDeg` East and West pulses move the star by
    // cos(Dec) of their move; on the West side the camera shows the field turned half a turn.
    void slew(double decDeg, bool pierWest);
    // The last slew's declination and pier side (true: West); nullopt before any slew.
    std::optional<std::pair<double, bool>> pointing() const;

    // An exposure at the clock's current time, of frameSize() or of `size`. Each render is a
    // new frame with its own noise and seeing jitter, numbered from 0 in order of rendering;
    // the same seed, time and frame number give the same picture.
    QImage render();
    // A size beyond 1..8192 on either side gives a null image.
    QImage render(QSize size);
    // As at clock time `t` (seconds); pulses given since show too, as they show at once.
    QImage render(QSize size, double t);
    double nowSeconds() const { return clock_->nowSeconds(); }
    // How many frames were rendered so far, i.e. the number of the next one.
    uint64_t framesRendered() const;

    // The true centre of the guide star in a frame of frameSize() at the current time, without
    // seeing jitter; and where it shows in frame number `frame`, with that frame's jitter.
    QPointF guideStarPosition() const;
    QPointF guideStarPositionWithJitter(uint64_t frame) const;

private:
    // The frame's size, origin and rotation at time t, without jitter; the lock is held.
    SkyFrame geometry(QSize size, double t) const;
    QPointF jitter(uint64_t frame) const;
    double sigmaPixels() const;

    std::shared_ptr<SimClock> clock_;
    mutable std::mutex mutex_;
    SkyOptions options_;
    QSize frameSize_{640, 480};
    MountModel mount_;
    std::optional<std::pair<double, bool>> pointing_;
    std::vector<SimStar> stars_;
    uint64_t nextFrame_ = 0;
};
