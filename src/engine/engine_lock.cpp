#include "capture/VFW.h"
#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "measure/star_choice.h"
#include "measure/star_measures.h"

namespace {
// Fainter stars are not worth guiding on: the centroid would wander with the noise.
constexpr double kMinSnr = 8.0;
} // namespace

// Lock: Idle -> Armed -> Locked (by a click on the star); a toggle while Armed, Locked or Lost
// returns to Idle.
void GuideEngine::toggleLock() {
    if (state.focusing)
        return;
    const EngineChange change(*this);
    stopCalibration();
    stopAssistant();
    if (state.lockLost) {
        state.lockArmed = state.locked = state.lockLost = false;
        emit errorCleared();
    } else if (state.lockArmed || state.locked) {
        releaseLock();
    } else {
        state.lockArmed = true;
    }
}

void GuideEngine::releaseLock() {
    state.locked = state.lockArmed = false;
    state.targetCentred = false;
    emit errorCleared();
}

// button 1 left, 2 right; x and y in frame pixels.
void GuideEngine::clickFrame(int button, float x, float y) {
    const EngineChange change(*this);
    if (button == 1 && state.lockArmed) {
        searchStar(x, y);
        // Taken whatever the search found: on empty sky the target becomes (0, 0).
        state.targetX = Globals::starX;
        state.targetY = Globals::starY;
        state.targetCentred = false;
        emit starCircled(Globals::starX, Globals::starY);
        state.lockArmed = false;
        state.locked = true;
        lawsReset();
    }
    if (button == 2) {
        state.markShown = !state.markShown;
        if (state.markShown) {
            state.markX = x;
            state.markY = y;
        }
    }
}

bool GuideEngine::lockAt(double x, double y) {
    const EngineChange change(*this);
    if (state.lockArmed || state.locked)
        toggleLock();
    toggleLock();
    clickFrame(1, static_cast<float>(x), static_cast<float>(y));
    if (Globals::starX <= 0 && Globals::starY <= 0) {
        toggleLock();
        return false;
    }
    return true;
}

void GuideEngine::moveTarget(float x, float y) {
    const EngineChange change(*this);
    const QPointF moved(x - state.targetX, y - state.targetY);
    state.targetX = x;
    state.targetY = y;
    lawsTargetMoved(moved);
}

// The target moves to the frame centre; guiding then steers the star there.
void GuideEngine::centerTarget() {
    if (state.focusing || !state.locked)
        return;
    CAPSTATUS status;
    if (!capGetStatus(state.hCapWnd.get(), status))
        return;
    const EngineChange change(*this);
    state.targetX = static_cast<float>(status.uiImageWidth / 2);
    state.targetY = static_cast<float>(status.uiImageHeight / 2);
    state.targetCentred = true;
}

bool GuideEngine::selectStarAutomatically(const std::optional<QRect>& roi) {
    if (state.focusing) {
        note(QStringLiteral("No star selection while focusing"));
        return false;
    }
    if (!state.previewing) {
        note(QStringLiteral("Press Preview first: a star is chosen from the current frame"));
        return false;
    }
    if (state.loopFrames == 0) {
        note(QStringLiteral("No frame yet: wait for the first exposure to end"));
        return false;
    }
    const StarChoiceRules rules{Globals::searchRadius, kMinSnr};
    ExcludedPixels excluded;
    if (const BadPixelMap* bad = darkStage_.badPixels())
        excluded = [bad](int x, int y) { return bad->bad(x, y); };
    const RawFrame* raw = measuredRawFrame();
    const std::optional<QPointF> star =
        raw ? chooseGuideStar(*raw, rules, roi, excluded)
            : chooseGuideStar(lumaOf(frame_.image()), rules, roi, excluded);
    if (!star) {
        note(QStringLiteral("No suitable guide star in this frame (bright, unsaturated, alone, "
                            "away from the edge)"));
        return false;
    }
    // As the operator would: release any lock, press Lock, click the star.
    const EngineChange change(*this);
    if (state.lockArmed || state.locked)
        toggleLock();
    toggleLock();
    clickFrame(1, static_cast<float>(star->x()), static_cast<float>(star->y()));
    return true;
}
