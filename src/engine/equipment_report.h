#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/telescope/mount_report.h"

#include <QString>
#include <optional>
#include <vector>

// What the connected camera and mount state of the settings that make the image scale and
// the guide rates.
struct EquipmentReport {
    std::optional<CameraPixels> camera;
    MountEquipment mount;
};

// One setting the equipment states: its settings key, how the operator knows it, the value in
// use and the one stated. Pixel sizes are a camera pixel's, unbinned.
struct ReportedSetting {
    const char* section;
    const char* key;
    QString label;
    QString unit;
    double inUse = 0;
    double reported = 0;

    // Equal within 0.5 %, as numbers typed from a data sheet are.
    bool differs() const;
};

// The stated settings, in the order the operator reads them; those not stated are left out.
// inUse: pixel sizes (um), focal length (mm), RA and Dec guide rates (arcsec/s) as set now.
struct SettingsInUse {
    double pixelSizeXUm = 0;
    double pixelSizeYUm = 0;
    double focalLengthMm = 0;
    double raGuideRate = 0;
    double decGuideRate = 0;
};
std::vector<ReportedSetting> reportedSettings(const EquipmentReport& report,
                                              const SettingsInUse& now);
