#include "engine/equipment_report.h"

#include "settings/setting_keys.h"

#include <cmath>

bool ReportedSetting::differs() const {
    return std::abs(reported - inUse) > 0.005 * std::abs(reported);
}

std::vector<ReportedSetting> reportedSettings(const EquipmentReport& report,
                                              const SettingsInUse& now) {
    std::vector<ReportedSetting> out;
    const auto add = [&](const SettingKey& k, const char* label, const char* unit, double inUse,
                         std::optional<double> reported) {
        if (reported && *reported > 0)
            out.push_back({k.section, k.key, QString::fromUtf8(label), QString::fromUtf8(unit),
                           inUse, *reported});
    };
    if (report.camera) {
        add(keys::HorizontalPixelSize, "Pixel width", "um", now.pixelSizeXUm,
            report.camera->sizeXUm);
        add(keys::VerticalPixelSize, "Pixel height", "um", now.pixelSizeYUm,
            report.camera->sizeYUm);
    }
    add(keys::FocalLength, "Guide scope focal length", "mm", now.focalLengthMm,
        report.mount.guideFocalLengthMm);
    add(keys::RAGuideRate, "RA guide rate", "\"/s", now.raGuideRate, report.mount.raGuideRate);
    add(keys::DecGuideRate, "Dec guide rate", "\"/s", now.decGuideRate,
        report.mount.decGuideRate);
    return out;
}
