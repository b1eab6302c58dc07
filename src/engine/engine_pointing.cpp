#include "engine/guide_engine.h"

// The mount's pointing and how it adjusts the calibration in use.

MountPointing GuideEngine::mountPointing() {
    if (!state.modeAscom || !state.telescope)
        return {};
    try {
        return state.telescope->pointing();
    } catch (const std::exception&) {
        return {};
    }
}

std::optional<double> GuideEngine::mountDeclination() {
    return mountPointing().decDeg;
}

// force: read now; else only when the last read is kPointingReadMs old (a network mount
// answers each read with several requests).
void GuideEngine::readPointing(bool force) {
    const qint64 now = clock_.elapsed();
    if (!force && pointingReadMs_ >= 0 && now - pointingReadMs_ < kPointingReadMs)
        return;
    pointing_ = mountPointing();
    pointingReadMs_ = now;
}

PointingAdjustment GuideEngine::calibrationAdjustment() const {
    if (!calibration_)
        return {};
    return pointingAdjustment(*calibration_, pointing_, flipKeepsDec_);
}

// Tells an adjustment once, when it changes; its end too.
void GuideEngine::tellAdjustment(const QString& text) {
    if (text == adjustmentTold_)
        return;
    if (text.isEmpty())
        note(QStringLiteral("Calibration used as made: the mount points as it did then"));
    else
        note(text);
    adjustmentTold_ = text;
}
