#pragma once

#include "platform/capture/capture_driver.h"
#include "platform/capture/indi_camera_list.h"
#include "platform/capture/v4l2_devices.h"
#include "platform/capture/v4l2_io.h"
#include "platform/telescope/indi_address.h"

#include <QStringList>
#include <functional>
#include <future>
#include <optional>
#include <vector>

class CaptureWidgets;
class SettingsStore;
class SkySimulator;

// Lists the cameras of an INDI server as Camera menu entries (see indi_camera_list.h).
using IndiCameraLister = std::function<IndiCameraListing(const IndiAddress& server)>;
// The real lister: asks the server, bounded by indiListMs.
IndiCameraListing listIndiCameras(const IndiAddress& server);
inline constexpr int indiListMs = 2000;

// The machine's webcams (V4L2 capture nodes in ascending /dev/videoN order), then the cameras
// of the INDI server named in "INDI Camera Options" / "Server" (by device name, then the guide
// chips of those that have one), then the sky simulator as the last driver. Nine indices in
// all: at most eight webcams, INDI entries in what is left (guide chips are the first left
// out), the simulator always last; what does not fit is left out with a note.
//
// The drivers show their dialogs, and capture windows their frames, through `widgets`; without
// them (no display) drivers offer no dialogs and windows show nothing. The simulator, store
// and widgets are not owned and must outlive this and every driver it creates.
class MachineCaptureDrivers : public CaptureDrivers {
public:
    // Looks for webcams now. The INDI server is asked on a thread of its own, so the window
    // can be built meanwhile; the first description() waits for the answer at most
    // indiListMs + 500 ms and lists no INDI cameras when it has not come by then.
    MachineCaptureDrivers(SkySimulator& sky, SettingsStore& store, const CaptureWidgets* widgets,
                          std::shared_ptr<V4l2Io> io = systemV4l2Io(),
                          const QString& devRoot = QStringLiteral("/dev"),
                          IndiCameraLister indiLister = listIndiCameras);

    bool description(int index, QString& name, QString& version) override;
    std::unique_ptr<CaptureDriver> create(int index) override;
    std::unique_ptr<CaptureView> view(QWidget* parent, bool visible,
                                      const QRect& geometry) override;

    // Cameras that were found but could not be opened or listed, with the reason.
    const QStringList& problems();

private:
    void settle();

    SkySimulator& sky_;
    SettingsStore& store_;
    const CaptureWidgets* widgets_;
    std::shared_ptr<V4l2Io> io_;
    std::vector<V4l2DeviceInfo> cameras_;
    std::optional<IndiAddress> indiServer_;
    std::future<IndiCameraListing> indiListing_;
    std::vector<IndiCameraEntry> indiCameras_;
    bool settled_ = false;
    QStringList problems_;
};
