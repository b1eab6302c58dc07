#pragma once

#include "platform/capture/machine_capture_drivers.h"

// The machine's capture drivers with the desktop's dialogs and live previews (see
// MachineCaptureDrivers).
class DesktopCaptureDrivers : public MachineCaptureDrivers {
public:
    DesktopCaptureDrivers(SkySimulator& sky, SettingsStore& store,
                          std::shared_ptr<V4l2Io> io = systemV4l2Io(),
                          const QString& devRoot = QStringLiteral("/dev"),
                          IndiCameraLister indiLister = listIndiCameras);
};
