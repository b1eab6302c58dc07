#include "app/next_step.h"

QString nextStepHint(const NextStepState& s) {
    if (s.focusing)
        return QStringLiteral("Focus the star, then press Focus again to go back to Preview");
    if (!s.previewing)
        return QStringLiteral("Press Preview to start the camera");
    if (s.calibrating)
        return {};
    if (s.lockArmed)
        return QStringLiteral("Click the guide star, or use Guiding > Select Star Automatically");
    if (s.locked && s.lockLost)
        return QStringLiteral("Star lost: wait for it to come back, or press Lock and click "
                              "another star");
    if (!s.locked)
        return QStringLiteral("Press Lock, then click the guide star");
    if (s.guiding)
        return {};
    if (!s.calibrationReady)
        return QStringLiteral("Calibrate (Guiding > Calibrate), or Guide with the typed guide "
                              "rates");
    return QStringLiteral("Press Guide to start guiding");
}
