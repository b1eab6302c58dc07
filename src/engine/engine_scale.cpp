#include "engine/guide_engine.h"
#include "platform/store/settings_store.h"
#include "settings/derived.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

#include <cmath>
#include <utility>

// The image scale and the settings the equipment states.

// The typed pixel sizes are a camera pixel's; a camera that bins makes frame pixels of
// binX x binY of them.
void GuideEngine::applyImageScale() {
    const int binX = cameraPixels_ ? cameraPixels_->binX : 1;
    const int binY = cameraPixels_ ? cameraPixels_->binY : 1;
    state.arcsecPerPixelX = arcsecPerPixel(state.pixelSizeH * binX, state.focalLength);
    state.arcsecPerPixelY = arcsecPerPixel(state.pixelSizeV * binY, state.focalLength);
}

// After each frame: a new binning changes the image scale at once; with "Use Reported Values"
// the camera's pixel size is taken when it differs.
void GuideEngine::followCameraPixels() {
    const std::optional<CameraPixels> now =
        state.hCapWnd ? state.hCapWnd->pixels() : std::optional<CameraPixels>();
    // Unstated binning counts as 1 x 1, so a camera that states 1 x 1 changes nothing.
    const auto binning = [](const std::optional<CameraPixels>& p) {
        return p ? std::pair{p->binX, p->binY} : std::pair{1, 1};
    };
    const bool binningChanged = now && binning(now) != binning(cameraPixels_);
    if (now)
        cameraPixels_ = now;
    if (usesReportedValues() && now && takeReportedSettings(false) > 0)
        return;
    if (!binningChanged)
        return;
    applyImageScale();
    note(QStringLiteral("Camera binning %1 x %2: image scale %3\"/px")
             .arg(now->binX)
             .arg(now->binY)
             .arg(state.arcsecPerPixelX, 0, 'f', 2));
    emit conditionsChanged();
    calibrationInUse(); // a calibration holds only at the scale it was made at
}

EquipmentReport GuideEngine::equipmentReport(bool askMount) {
    EquipmentReport r;
    r.camera = cameraPixels_;
    if (askMount && state.modeAscom && state.telescope) {
        try {
            r.mount = state.telescope->reportedEquipment();
        } catch (const std::exception&) {
        }
    }
    return r;
}

std::vector<ReportedSetting> GuideEngine::reportedSettingsNow(bool askMount) {
    return reportedSettings(equipmentReport(askMount),
                            {state.pixelSizeH, state.pixelSizeV, double(state.focalLength),
                             state.raGuideRate, state.decGuideRate});
}

int GuideEngine::takeReportedSettings(bool askMount) {
    QStringList taken;
    for (const ReportedSetting& s : reportedSettingsNow(askMount)) {
        if (!s.differs())
            continue;
        // The focal length is stored in whole millimetres.
        const bool whole = QLatin1String(s.key) == QLatin1String(keys::FocalLength.key);
        saveSetting(s.section, s.key,
                    whole ? QString::number(std::lround(s.reported))
                          : QString::number(s.reported, 'g', 6));
        taken << QStringLiteral("%1 %2 %3").arg(s.label).arg(s.reported, 0, 'g', 6).arg(s.unit);
    }
    if (taken.isEmpty())
        return 0;
    loadSettings(false);
    note(QStringLiteral("Taken from the equipment: ") + taken.join(", "));
    return int(taken.size());
}

void GuideEngine::setUsesReportedValues(bool on) {
    useReportedValues_ = on;
    saveSetting(keys::UseReportedValues.section, keys::UseReportedValues.key, on ? "1" : "0");
    if (on)
        takeReportedSettings(true);
}

bool GuideEngine::connectsAtStartup() const {
    return SettingsReader(*platform_.store).flag(keys::ConnectAtStartup);
}

void GuideEngine::setConnectsAtStartup(bool on) {
    saveSetting(keys::ConnectAtStartup.section, keys::ConnectAtStartup.key, on ? "1" : "0");
}
