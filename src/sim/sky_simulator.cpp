#include "sim/sky_simulator.h"

#include "sim/sim_random.h"
#include "sim/sky_render.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kFwhmPerSigma = 2.3548200450309493;
// Seeing moves the whole field by about this fraction of the FWHM (rms per axis) each frame.
constexpr double kJitterPerFwhm = 0.15;
constexpr int kMinFrameSide = 16;
constexpr int kMaxFrameSide = 4096;
constexpr int kMaxRenderSide = 8192;
constexpr uint64_t kJitterStream = 0x4a4954544552;
constexpr uint64_t kFrameNoiseStream = 0x4652414d45;

bool sidesWithin(QSize size, int low, int high) {
    return size.width() >= low && size.height() >= low && size.width() <= high &&
           size.height() <= high;
}
} // namespace

SkySimulator::SkySimulator(SkyOptions options, std::shared_ptr<SimClock> clock)
    : clock_(clock ? std::move(clock) : std::make_shared<SteadySimClock>()) {
    setOptions(options);
}

SkyOptions SkySimulator::options() const {
    std::lock_guard lock(mutex_);
    return options_;
}

void SkySimulator::setOptions(const SkyOptions& options) {
    const SkyOptions kept = clampedSkyOptions(options);
    const double now = clock_->nowSeconds();
    std::lock_guard lock(mutex_);
    if (stars_.empty() || kept.seed != options_.seed)
        stars_ = makeStarField(kept.seed);
    options_ = kept;
    mount_.setDrift(kept.raDrift, kept.decDrift, now);
    mount_.setPeriodicError(kept.peAmplitude, kept.pePeriod);
}

QSize SkySimulator::frameSize() const {
    std::lock_guard lock(mutex_);
    return frameSize_;
}

void SkySimulator::setFrameSize(QSize size) {
    if (!sidesWithin(size, kMinFrameSide, kMaxFrameSide))
        return;
    std::lock_guard lock(mutex_);
    frameSize_ = size;
}

void SkySimulator::pulse(int direction, int ms) {
    if (ms <= 0)
        return;
    std::lock_guard lock(mutex_);
    const bool ra = direction == 2 || direction == 3;
    const double cosDec =
        ra && pointing_ ? std::cos(pointing_->first * std::numbers::pi / 180) : 1.0;
    mount_.move(direction, options_.guideRate * ms / 1000.0 * cosDec);
}

void SkySimulator::slew(double decDeg, bool pierWest) {
    if (!std::isfinite(decDeg))
        return;
    std::lock_guard lock(mutex_);
    pointing_ = std::pair{std::clamp(decDeg, -89.0, 89.0), pierWest};
}

std::optional<std::pair<double, bool>> SkySimulator::pointing() const {
    std::lock_guard lock(mutex_);
    return pointing_;
}

QImage SkySimulator::render() {
    return render(frameSize());
}

QImage SkySimulator::render(QSize size) {
    return render(size, clock_->nowSeconds());
}

QImage SkySimulator::render(QSize size, double t) {
    if (!sidesWithin(size, 1, kMaxRenderSide))
        return {};
    SkyFrame frame;
    {
        std::lock_guard lock(mutex_);
        const uint64_t number = nextFrame_++;
        frame = geometry(size, t);
        frame.origin += jitter(number);
        frame.sigma = sigmaPixels();
        frame.brightness = options_.starBrightness;
        frame.readNoise = options_.noise;
        frame.noiseSeed = streamSeed(options_.seed, number, kFrameNoiseStream);
        frame.stars = stars_;
        frame.hotPixels = makeHotPixels(options_.seed, size);
    }
    return renderSkyFrame(frame);
}

uint64_t SkySimulator::framesRendered() const {
    std::lock_guard lock(mutex_);
    return nextFrame_;
}

QPointF SkySimulator::guideStarPosition() const {
    const double t = clock_->nowSeconds();
    std::lock_guard lock(mutex_);
    return framePosition(geometry(frameSize_, t), stars_.front().sky);
}

QPointF SkySimulator::guideStarPositionWithJitter(uint64_t frame) const {
    const double t = clock_->nowSeconds();
    std::lock_guard lock(mutex_);
    return framePosition(geometry(frameSize_, t), stars_.front().sky) + jitter(frame);
}

SkyFrame SkySimulator::geometry(QSize size, double t) const {
    SkyFrame frame;
    frame.size = size;
    const double turn = pointing_ && pointing_->second ? 180 : 0;
    const double angle = (options_.cameraAngle + turn) * std::numbers::pi / 180;
    frame.cosAngle = std::cos(angle);
    frame.sinAngle = std::sin(angle);
    frame.origin = QPointF(size.width() / 2.0, size.height() / 2.0);
    // The mount's error in sky pixels: RA towards East (+x), Dec towards North (-y).
    const QPointF error = mount_.errorAt(t) / options_.imageScale;
    frame.origin = framePosition(frame, QPointF(error.x(), -error.y()));
    return frame;
}

QPointF SkySimulator::jitter(uint64_t frame) const {
    FastRandom random(streamSeed(options_.seed, frame, kJitterStream));
    const double rms = kJitterPerFwhm * kFwhmPerSigma * sigmaPixels();
    const double dx = rms * random.normal();
    return {dx, rms * random.normal()};
}

double SkySimulator::sigmaPixels() const {
    return options_.seeing / options_.imageScale / kFwhmPerSigma;
}
