#include "capture/VFW.h"
#include "engine/guide_engine.h"

// Connecting and disconnecting all the equipment at once.

// Equipment that went away (or was switched off) is connected anew as it was, the camera by
// its own driver; the chosen telescope as Telescope > Connected does, without its message box.
QString GuideEngine::connectEquipment() {
    setCameraSwitchedOff(false);
    retryLostEquipment();
    if (!cameraConnected() && equipmentGone(QStringLiteral("camera")))
        return QStringLiteral("the camera did not connect: %1").arg(state.hCapWnd->lastError());
    if (!cameraConnected() && !reconnectCamera())
        return QStringLiteral("the camera did not connect: choose one in the Camera menu");
    if (state.modeSerial)
        return QStringLiteral("the Serial guide output sends no corrections: choose ASCOM or "
                              "Parallel in the Guiding menu");
    if (state.modeAscom && !state.telescope)
        return QStringLiteral("no telescope chosen: use Telescope > Choose Telescope...");
    if (state.modeAscom && !telescopeMarked()) {
        if (const auto why = connectChosenTelescope()) {
            note(QStringLiteral("Telescope: %1").arg(*why));
            return QStringLiteral("the telescope did not connect: %1").arg(*why);
        }
    }
    return {};
}

// The loop is stopped first by the caller; a mount whose server went away is let go too, so
// no more attempts are made.
void GuideEngine::disconnectEquipment() {
    if (state.telescope && (telescopeMarked() || equipmentGone(QStringLiteral("mount"))))
        disconnectTelescope();
    capDriverDisconnect(state.hCapWnd.get());
}
