#include "guiding/calibrator.h"

#include <algorithm>
#include <cmath>

namespace {
double distance(QPointF a, QPointF b) {
    return std::hypot(a.x() - b.x(), a.y() - b.y());
}

bool isFirstLeg(GuideDirection d) {
    return d == guideWest || d == guideNorth;
}

int32_t stepFor(double distancePx, double arcsecPerPixel, float guideRate) {
    const double ms = distancePx * arcsecPerPixel / guideRate * 1000 / kCalibrationSteps;
    return static_cast<int32_t>(std::clamp(std::lround(ms), 1L, 60000L));
}
} // namespace

std::optional<CalibrationPlan> planCalibration(float raGuideRate, float decGuideRate,
                                               double arcsecPerPixel, int searchSide, bool withDec,
                                               double distancePx) {
    const auto usable = [](double v) { return std::isfinite(v) && v > 0; };
    if (!usable(raGuideRate) || (withDec && !usable(decGuideRate)) || !usable(arcsecPerPixel))
        return std::nullopt;
    CalibrationPlan plan;
    plan.withDec = withDec;
    // A step of a quarter of the window keeps the star well inside it from frame to frame.
    plan.distancePx = std::min(distancePx, kCalibrationSteps * searchSide / 4.0);
    plan.raStepMs = stepFor(plan.distancePx, arcsecPerPixel, raGuideRate);
    plan.decStepMs = withDec ? stepFor(plan.distancePx, arcsecPerPixel, decGuideRate) : 0;
    return plan;
}

void Calibrator::start(const CalibrationPlan& plan, const CalibrationContext& context) {
    plan_ = plan;
    context_ = context;
    context_.minMotionPx = plan.distancePx * 0.4;
    path_ = {};
    lastFailure_ = {};
    path_.west.stepMs = plan.raStepMs;
    direction_ = guideWest;
    running_ = true;
    emit started();
}

CalibrationLeg& Calibrator::leg() {
    return path_.leg(direction_);
}

// A first leg ends at the distance; a return leg half a step short of its first leg's start.
bool Calibrator::legDone(const CalibrationLeg& current) const {
    const int steps = static_cast<int>(current.points.size()) - 1;
    if (steps >= plan_.maxSteps)
        return true;
    if (isFirstLeg(direction_))
        return distance(current.points.back(), current.points.front()) >= plan_.distancePx;
    const CalibrationLeg& first = direction_ == guideEast ? path_.west : path_.north;
    const QPointF out = first.points.back() - first.points.front();
    const double outLength = std::hypot(out.x(), out.y());
    if (outLength <= 0)
        return true;
    const double left = QPointF::dotProduct(current.points.back() - first.points.front(), out);
    const double halfStep = outLength / (2.0 * static_cast<double>(first.points.size() - 1));
    return left / outLength <= halfStep;
}

// Moves on to the next direction; false when there is none.
bool Calibrator::advance(QPointF star) {
    if (direction_ == guideWest) {
        direction_ = guideEast;
        path_.east = {{star}, plan_.raStepMs};
    } else if (direction_ == guideEast && plan_.withDec) {
        direction_ = guideNorth;
        path_.north = {{star}, plan_.decStepMs};
    } else if (direction_ == guideNorth) {
        direction_ = guideSouth;
        path_.south = {{star}, plan_.decStepMs};
    } else {
        return false;
    }
    return true;
}

std::optional<PulseRequest> Calibrator::next(QPointF star) {
    if (!running_)
        return std::nullopt;
    CalibrationLeg& current = leg();
    current.points.push_back(star);
    if (current.points.size() == 1)
        return PulseRequest{direction_, current.stepMs};
    emit stepped({direction_, static_cast<int>(current.points.size()) - 1,
                  distance(star, current.points.front())});
    if (legDone(current)) {
        const bool tooShort =
            isFirstLeg(direction_) && distance(star, current.points.front()) < context_.minMotionPx;
        if (tooShort || !advance(star)) {
            finish();
            return std::nullopt;
        }
    }
    return PulseRequest{direction_, leg().stepMs};
}

void Calibrator::starLost() {
    if (!running_)
        return;
    if (path_.west.points.empty()) {
        running_ = false;
        lastFailure_ = {QStringLiteral("Calibration failed: the star was lost before it began.")};
        emit failed(lastFailure_.reason);
        return;
    }
    leg().points.push_back({0, 0});
    finish();
}

void Calibrator::stop() {
    if (!running_)
        return;
    running_ = false;
    emit stopped();
}

void Calibrator::finish() {
    running_ = false;
    auto outcome = computeCalibration(path_, context_);
    if (auto* failure = std::get_if<CalibrationFailure>(&outcome)) {
        lastFailure_ = *failure;
        emit failed(failure->reason);
        return;
    }
    Calibration& result = std::get<Calibration>(outcome);
    result.time = QDateTime::currentDateTimeUtc();
    emit completed(result);
}

QString calibrationProgressText(const CalibrationProgress& progress) {
    return QStringLiteral("%1 step %2, %3 px")
        .arg(QLatin1String(guideDirectionName(progress.direction)))
        .arg(progress.step)
        .arg(progress.distancePx, 0, 'f', 1);
}
