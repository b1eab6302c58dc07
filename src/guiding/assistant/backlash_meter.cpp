#include "guiding/assistant/backlash_meter.h"

#include <algorithm>
#include <cmath>

namespace {
// Agreement (cosine) of each of the steady steps with their sum, when no direction is known.
constexpr double kSameDirection = 0.8;

double length(QPointF p) {
    return std::hypot(p.x(), p.y());
}

// The place after which the first run of kSteadySteps moving steps begins to count: the end of
// its first step (a step may clear the backlash only partway, so its start is left out);
// -1 when there is no such run.
int steadyFrom(const std::vector<double>& s, double stepPx) {
    int run = 0;
    for (size_t k = 1; k < s.size(); ++k) {
        run = s[k] - s[k - 1] >= kMovingShare * stepPx ? run + 1 : 0;
        if (run == kSteadySteps)
            return static_cast<int>(k) - kSteadySteps + 1;
    }
    return -1;
}

bool isLost(QPointF p) {
    return p.x() <= 0 && p.y() <= 0;
}

// The leg's places up to the first lost one.
std::vector<QPointF> placesOf(const CalibrationLeg& leg) {
    std::vector<QPointF> places;
    for (const QPointF& p : leg.points) {
        if (isLost(p))
            break;
        places.push_back(p);
    }
    return places;
}

double median(std::vector<double> v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}
} // namespace

std::optional<double> lostMotionMs(const std::vector<double>& s, const std::vector<double>& sentMs,
                                   double stepPx) {
    const int j = steadyFrom(s, stepPx);
    if (j < 0)
        return std::nullopt;
    double level = 0;
    const int before = std::max(1, j - 1);
    for (int k = 0; k < before; ++k)
        level += s[static_cast<size_t>(k)] / before;
    double tm = 0, sm = 0;
    const auto n = static_cast<double>(s.size()) - j;
    for (size_t k = static_cast<size_t>(j); k < s.size(); ++k) {
        tm += sentMs[k] / n;
        sm += s[k] / n;
    }
    double stt = 0, sts = 0;
    for (size_t k = static_cast<size_t>(j); k < s.size(); ++k) {
        stt += (sentMs[k] - tm) * (sentMs[k] - tm);
        sts += (sentMs[k] - tm) * (s[k] - sm);
    }
    if (stt <= 0 || sts <= 0)
        return std::nullopt;
    const double slope = sts / stt;
    const double crossing = tm + (level - sm) / slope;
    return std::clamp(crossing, 0.0, sentMs[static_cast<size_t>(j)]);
}

std::optional<DecBacklash> backlashFromCalibration(const CalibrationPath& path,
                                                   double firstSouthExtraMs) {
    const std::vector<QPointF> north = placesOf(path.north);
    const std::vector<QPointF> south = placesOf(path.south);
    if (north.size() < 3 || south.size() < kSteadySteps + 1 || path.south.stepMs <= 0)
        return std::nullopt;
    const QPointF out = north.back() - north.front();
    if (length(out) <= 0)
        return std::nullopt;
    const QPointF unit = out / length(out);
    std::vector<double> steps;
    for (size_t k = north.size() / 2; k < north.size(); ++k)
        steps.push_back(QPointF::dotProduct(north[k] - north[k - 1], unit));
    std::vector<double> s, sentMs;
    for (size_t k = 0; k < south.size(); ++k) {
        s.push_back(QPointF::dotProduct(south.front() - south[k], unit));
        sentMs.push_back(k == 0 ? 0.0
                                : static_cast<double>(k) * path.south.stepMs + firstSouthExtraMs);
    }
    const auto ms = lostMotionMs(s, sentMs, median(steps));
    if (!ms)
        return std::nullopt;
    return DecBacklash{*ms, false};
}

std::optional<BacklashPlan> planBacklash(double speedPxPerSec, double seeingPx, double searchSide,
                                         QPointF driftPxPerSec) {
    if (!(speedPxPerSec > 0) || !std::isfinite(speedPxPerSec))
        return std::nullopt;
    const double target = std::min(std::max(1.5, 5 * seeingPx), std::max(1.0, searchSide / 4));
    BacklashPlan plan;
    plan.stepMs =
        static_cast<int32_t>(std::clamp(std::lround(target / speedPxPerSec * 1000), 50L, 5000L));
    plan.stepPx = speedPxPerSec * plan.stepMs / 1000;
    plan.driftPxPerSec = driftPxPerSec;
    return plan;
}

void BacklashMeter::start(const BacklashPlan& plan) {
    plan_ = plan;
    running_ = true;
    south_ = false;
    steps_ = 0;
    north_.clear();
    s_.clear();
    sentMs_.clear();
    totalMs_ = pendingMs_ = 0;
    result_.reset();
    failure_.clear();
}

std::optional<PulseRequest> BacklashMeter::next(double tSec, QPointF star) {
    if (!running_)
        return std::nullopt;
    if (north_.empty())
        t0_ = tSec;
    const QPointF place = star - plan_.driftPxPerSec * (tSec - t0_);
    return south_ ? southStep(place) : northStep(place);
}

// Steady North: the last steps each long enough and all one way.
std::optional<PulseRequest> BacklashMeter::northStep(QPointF place) {
    north_.push_back(place);
    const size_t n = north_.size();
    if (n > kSteadySteps) {
        const QPointF sum = north_[n - 1] - north_[n - 1 - kSteadySteps];
        bool steady = length(sum) > 0;
        for (size_t k = n - kSteadySteps; k < n && steady; ++k) {
            const QPointF step = north_[k] - north_[k - 1];
            steady = length(step) >= kMovingShare * plan_.stepPx &&
                     QPointF::dotProduct(step, sum) >= kSameDirection * length(step) * length(sum);
        }
        if (steady) {
            south_ = true;
            northUnit_ = sum / length(sum);
            southStart_ = place;
            return southStep(place);
        }
    }
    if (steps_ >= plan_.maxNorthSteps) {
        fail(QStringLiteral("the star did not move steadily North: check the Dec guide rate "
                            "and output"));
        return std::nullopt;
    }
    ++steps_;
    pendingMs_ = plan_.stepMs;
    return PulseRequest{guideNorth, plan_.stepMs};
}

std::optional<PulseRequest> BacklashMeter::southStep(QPointF place) {
    s_.push_back(QPointF::dotProduct(southStart_ - place, northUnit_));
    sentMs_.push_back(totalMs_);
    if (const auto ms = lostMotionMs(s_, sentMs_, plan_.stepPx)) {
        running_ = false;
        result_ = DecBacklash{*ms, false};
        return std::nullopt;
    }
    if (static_cast<int>(s_.size()) > plan_.maxSouthSteps) {
        running_ = false;
        result_ = DecBacklash{totalMs_, true};
        return std::nullopt;
    }
    ++steps_;
    pendingMs_ = plan_.stepMs;
    totalMs_ += plan_.stepMs;
    return PulseRequest{guideSouth, plan_.stepMs};
}

void BacklashMeter::sent(bool out, double ms) {
    if (!running_)
        return;
    if (!out) {
        fail(QStringLiteral("a Dec pulse did not go out"));
        return;
    }
    if (south_)
        totalMs_ += ms - pendingMs_;
}

void BacklashMeter::starLost() {
    if (running_)
        fail(QStringLiteral("the star was lost"));
}

void BacklashMeter::stop() {
    if (running_)
        fail(QStringLiteral("stopped"));
}

void BacklashMeter::fail(const QString& why) {
    running_ = false;
    failure_ = why;
}
