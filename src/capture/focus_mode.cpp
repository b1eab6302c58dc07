#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/VFW.h"

#include <QAction>
#include <QPushButton>

namespace {
constexpr int kFocusPreviewMs = 66;
const QSize kFocusWindowSize(630, 470);
} // namespace

void frmMain::setDriverEntriesEnabled(bool enabled) {
    for (int i = 0; i < state.driverCount && i < mnuDriver.size(); ++i)
        if (mnuDriver[i])
            mnuDriver[i]->setEnabled(enabled);
}

// Focus replaces the exposure loop by a fast live preview in its own capture window in the
// picture's place; guiding, the lock and the loop are switched off first, in that order.
void frmMain::cmdFocus_Click() {
    if (state.focusing) {
        setButtonColour(cmdFocus, Colour::Red);
        capDriverDisconnect(state.hFocusWnd.get());
        state.hFocusWnd.reset();
        picFrame->show();
        setDriverEntriesEnabled(true);
        state.focusing = false;
        engine_.connectCamera(state.driverIndex);
        return;
    }
    setButtonColour(cmdFocus, Colour::Green);
    const EngineChange change(engine_);
    engine_.stopCalibration();
    if (state.guiding)
        engine_.toggleGuide();
    if (state.locked || state.lockArmed)
        engine_.toggleLock();
    if (state.previewing)
        engine_.toggleLoop();
    const QRect place(picFrame->mapTo(picPlace, QPoint(0, 0)), kFocusWindowSize);
    picFrame->hide();
    capDriverDisconnect(state.hCapWnd.get());
    setDriverEntriesEnabled(false);
    state.hFocusWnd = std::make_shared<CaptureWindow>(*platform().capture, engine_.frameSlot(),
                                                      picPlace, true, place);
    if (engine_.connectCaptureWindow(state.hFocusWnd.get(), state.driverIndex)) {
        capPreviewRate(state.hFocusWnd.get(), kFocusPreviewMs);
        capPreview(state.hFocusWnd.get(), true);
        state.focusing = true;
        return;
    }
    engine_.reportConnectFailure(*state.hFocusWnd);
}
