#include "platform/capture/desktop_capture_drivers.h"

#include "platform/capture/sim_capture_driver.h"
#include "platform/capture/v4l2_capture_driver.h"

namespace {
constexpr size_t kMaxCameras = 8;
}

DesktopCaptureDrivers::DesktopCaptureDrivers(SkySimulator& sky, SettingsStore& store,
                                             std::shared_ptr<V4l2Io> io, const QString& devRoot)
    : sky_(sky), store_(store), io_(std::move(io)) {
    cameras_ = listV4l2CaptureDevices(*io_, devRoot, &problems_);
    if (cameras_.size() > kMaxCameras) {
        problems_.append(QStringLiteral("Only the first %1 of %2 cameras are listed")
                             .arg(kMaxCameras)
                             .arg(cameras_.size()));
        cameras_.resize(kMaxCameras);
    }
}

bool DesktopCaptureDrivers::description(int index, QString& name, QString& version) {
    if (index < 0 || static_cast<size_t>(index) > cameras_.size())
        return false;
    if (static_cast<size_t>(index) == cameras_.size()) {
        name = simulatorName();
        version = simulatorVersion();
    } else {
        name = cameras_[static_cast<size_t>(index)].card;
        version = cameras_[static_cast<size_t>(index)].version;
    }
    return true;
}

std::unique_ptr<CaptureDriver> DesktopCaptureDrivers::create(int index) {
    if (index < 0 || static_cast<size_t>(index) > cameras_.size())
        return nullptr;
    if (static_cast<size_t>(index) == cameras_.size())
        return std::make_unique<SimCaptureDriver>(sky_, store_);
    return std::make_unique<V4l2CaptureDriver>(cameras_[static_cast<size_t>(index)].path, io_);
}
