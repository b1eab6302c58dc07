#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/v4l2_devices.h"
#include "platform/capture/v4l2_io.h"

#include <QStringList>
#include <vector>

class SettingsStore;
class SkySimulator;

// The machine's webcams (V4L2 capture nodes in ascending /dev/videoN order), then the sky
// simulator as the last driver. At most eight webcams are listed so the simulator always
// keeps one of the nine driver indices.
class DesktopCaptureDrivers : public CaptureDrivers {
public:
    // Looks for cameras once, now; devRoot holds the videoN nodes.
    DesktopCaptureDrivers(SkySimulator& sky, SettingsStore& store,
                          std::shared_ptr<V4l2Io> io = systemV4l2Io(),
                          const QString& devRoot = QStringLiteral("/dev"));

    bool description(int index, QString& name, QString& version) override;
    std::unique_ptr<CaptureDriver> create(int index) override;

    // Webcams that were found but could not be opened, with the reason, for the operator.
    const QStringList& problems() const { return problems_; }

private:
    SkySimulator& sky_;
    SettingsStore& store_;
    std::shared_ptr<V4l2Io> io_;
    std::vector<V4l2DeviceInfo> cameras_;
    QStringList problems_;
};
