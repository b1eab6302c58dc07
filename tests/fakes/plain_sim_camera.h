#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/sim_capture_driver.h"
#include "sim/sky_simulator.h"

#include <memory>

// The sky simulator as the only camera; its drivers open their dialogs through `widgets` (none:
// no dialogs or views, no widgets).
class PlainSimCamera : public CaptureDrivers {
public:
    PlainSimCamera(SkySimulator& sky, SettingsStore& store, const CaptureWidgets* widgets = nullptr)
        : sky_(sky), store_(store), widgets_(widgets) {}
    bool description(int index, QString& name, QString& version) override {
        name = simulatorName();
        version = simulatorVersion();
        return index == 0;
    }
    std::unique_ptr<CaptureDriver> create(int index) override {
        return index == 0 ? std::make_unique<SimCaptureDriver>(sky_, store_, widgets_) : nullptr;
    }

protected:
    SkySimulator& sky_;
    SettingsStore& store_;
    const CaptureWidgets* widgets_;
};
