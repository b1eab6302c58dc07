#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/qt_capture_widgets.h"
#include "platform/capture/sim_capture_driver.h"
#include "sim/sky_simulator.h"

#include <memory>

// The sky simulator as the only camera, with the desktop's dialogs and views.
class SimCamera : public CaptureDrivers {
public:
    SimCamera(SkySimulator& sky, SettingsStore& store) : sky_(sky), store_(store) {}
    bool description(int index, QString& name, QString& version) override {
        name = simulatorName();
        version = simulatorVersion();
        return index == 0;
    }
    std::unique_ptr<CaptureDriver> create(int index) override {
        return index == 0 ? std::make_unique<SimCaptureDriver>(sky_, store_, &qtCaptureWidgets())
                          : nullptr;
    }
    std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                      const QRect& geometry) override {
        return qtCaptureWidgets().view(parent, visible, geometry);
    }

protected:
    SkySimulator& sky_;
    SettingsStore& store_;
};
