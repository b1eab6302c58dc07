#include "engine/dither.h"
#include "engine/guide_engine.h"

#include <algorithm>
#include <cmath>

void GuideEngine::beginSettle(const SettleParams& settle) {
    settle_.begin(settle, elapsedMs() / 1000.0);
}

std::optional<SettleResult> GuideEngine::stopSettle(const QString& reason) {
    return settle_.stop(reason);
}

// One guide cycle's frame of a running settle, while guiding.
void GuideEngine::advanceSettle() {
    if (!settle_.active() || !state.guiding)
        return;
    const bool found = state.locked && !state.lockLost;
    const auto step =
        settle_.frame(found, std::hypot(state.errX, state.errY), elapsedMs() / 1000.0);
    if (const auto* settling = std::get_if<SettlingStep>(&step))
        emit settlingStep(*settling);
    else
        emit settleDone(std::get<SettleResult>(step));
}

QPointF GuideEngine::dither(double amount, bool raOnly) {
    const EngineChange change(*this);
    const Calibration* calibration = calibrationInUse();
    const QPointF offset = ditherOffset(
        amount, raOnly, calibration ? std::optional<double>(calibration->raAngle) : std::nullopt,
        random_);
    const QPointF before(state.targetX, state.targetY);
    const QSize frame = frame_.image().size();
    state.targetX =
        static_cast<float>(std::clamp(state.targetX + offset.x(), 0.0, frame.width() - 1.0));
    state.targetY =
        static_cast<float>(std::clamp(state.targetY + offset.y(), 0.0, frame.height() - 1.0));
    const QPointF moved = QPointF(state.targetX, state.targetY) - before;
    lawsTargetMoved(moved);
    return moved;
}
