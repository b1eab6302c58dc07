#include "platform/capture/desktop_capture_drivers.h"

#include "platform/capture/qt_capture_widgets.h"

DesktopCaptureDrivers::DesktopCaptureDrivers(SkySimulator& sky, SettingsStore& store,
                                             std::shared_ptr<V4l2Io> io, const QString& devRoot,
                                             IndiCameraLister indiLister)
    : MachineCaptureDrivers(sky, store, &qtCaptureWidgets(), std::move(io), devRoot,
                            std::move(indiLister)) {}
