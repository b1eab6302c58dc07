#include "app/Globals.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "server/star_choice.h"

#include <QRect>

namespace {
// Fainter stars are not worth guiding on: the centroid would wander with the noise.
constexpr double kMinSnr = 8.0;
} // namespace

bool frmMain::selectStarAutomatically(const std::optional<QRect>& roi) {
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
    const RawFrame* raw = measuredRawFrame();
    const std::optional<QPointF> star =
        raw ? chooseGuideStar(*raw, rules, roi)
            : chooseGuideStar(lumaOf(picFrame->image()), rules, roi);
    if (!star) {
        note(QStringLiteral("No suitable guide star in this frame (bright, unsaturated, alone, "
                            "away from the edge)"));
        return false;
    }
    // As the operator would: release any lock, press Lock, click the star.
    if (state.lockArmed || state.locked)
        cmdLock_Click();
    cmdLock_Click();
    picFrame_MouseUp(1, static_cast<float>(star->x()), static_cast<float>(star->y()));
    return true;
}

void frmMain::mnuSelectStarAutomatically_Click() {
    selectStarAutomatically();
}
