#pragma once

#include "fakes/plain_sim_camera.h"
#include "platform/capture/qt_capture_widgets.h"

// The sky simulator as the only camera, with the desktop's dialogs and views.
class SimCamera : public PlainSimCamera {
public:
    SimCamera(SkySimulator& sky, SettingsStore& store)
        : PlainSimCamera(sky, store, &qtCaptureWidgets()) {}
    std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                      const QRect& geometry) override {
        return qtCaptureWidgets().view(parent, visible, geometry);
    }
};
