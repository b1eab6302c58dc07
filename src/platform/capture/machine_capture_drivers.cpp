#include "platform/capture/machine_capture_drivers.h"

#include "platform/capture/indi_capture_driver.h"
#include "platform/capture/sim_capture_driver.h"
#include "platform/capture/v4l2_capture_driver.h"
#include "platform/store/settings_store.h"
#include "settings/setting_keys.h"

namespace {
constexpr size_t kIndices = 9;
constexpr size_t kMaxCameras = kIndices - 1; // the simulator keeps the last index
constexpr int kListGraceMs = 500;
} // namespace

IndiCameraListing listIndiCameras(const IndiAddress& server) {
    return listIndiCameraEntries(server, indiListMs);
}

MachineCaptureDrivers::MachineCaptureDrivers(SkySimulator& sky, SettingsStore& store,
                                             const CaptureWidgets* widgets,
                                             std::shared_ptr<V4l2Io> io, const QString& devRoot,
                                             IndiCameraLister indiLister)
    : sky_(sky), store_(store), widgets_(widgets), io_(std::move(io)) {
    cameras_ = listV4l2CaptureDevices(*io_, devRoot, &problems_);
    if (cameras_.size() > kMaxCameras) {
        problems_.append(QStringLiteral("Only the first %1 of %2 cameras are listed")
                             .arg(kMaxCameras)
                             .arg(cameras_.size()));
        cameras_.resize(kMaxCameras);
    }
    const QString server =
        store_.readSetting(keys::IndiCameraServer.section, keys::IndiCameraServer.key,
                           keys::IndiCameraServer.startupDefault);
    indiServer_ = parseIndiServer(server);
    if (!indiServer_ && !server.trimmed().isEmpty())
        problems_.append(QStringLiteral("The INDI camera server \"%1\" is no host:port; no INDI "
                                        "cameras are listed")
                             .arg(server));
    if (indiServer_ && indiLister)
        indiListing_ =
            std::async(std::launch::async, [lister = std::move(indiLister),
                                            address = *indiServer_] { return lister(address); });
}

// Takes the INDI server's answer, waiting for it at most a moment more than the listing's own
// bound. A server that is simply not running answers at once (connection refused).
void MachineCaptureDrivers::settle() {
    if (settled_)
        return;
    settled_ = true;
    if (!indiListing_.valid())
        return;
    const QString server = indiServerName(*indiServer_);
    if (indiListing_.wait_for(std::chrono::milliseconds(indiListMs + kListGraceMs)) !=
        std::future_status::ready) {
        problems_.append(QStringLiteral("The INDI server at %1 did not answer in time; no INDI "
                                        "cameras are listed")
                             .arg(server));
        return;
    }
    IndiCameraListing listing = indiListing_.get();
    problems_.append(listing.notes);
    std::vector<IndiCameraEntry>& entries = listing.entries;
    const size_t room = kMaxCameras - cameras_.size();
    if (entries.size() > room) {
        problems_.append(QStringLiteral("Only %1 of the %2 INDI cameras and guide chips at %3 fit "
                                        "in the Camera menu")
                             .arg(room)
                             .arg(entries.size())
                             .arg(server));
        entries.resize(room);
    }
    indiCameras_ = std::move(entries);
}

bool MachineCaptureDrivers::description(int index, QString& name, QString& version) {
    settle();
    const size_t webcams = cameras_.size(), last = webcams + indiCameras_.size();
    if (index < 0 || static_cast<size_t>(index) > last)
        return false;
    const auto i = static_cast<size_t>(index);
    if (i == last) {
        name = simulatorName();
        version = simulatorVersion();
    } else if (i >= webcams) {
        name = indiCameraEntryName(indiCameras_[i - webcams]);
        version = indiCameraVersion;
    } else {
        name = cameras_[i].card;
        version = cameras_[i].version;
    }
    return true;
}

std::unique_ptr<CaptureDriver> MachineCaptureDrivers::create(int index) {
    settle();
    const size_t webcams = cameras_.size(), last = webcams + indiCameras_.size();
    if (index < 0 || static_cast<size_t>(index) > last)
        return nullptr;
    const auto i = static_cast<size_t>(index);
    if (i == last)
        return std::make_unique<SimCaptureDriver>(sky_, store_, widgets_);
    if (i >= webcams) {
        const IndiCameraEntry& entry = indiCameras_[i - webcams];
        IndiAddress address = *indiServer_;
        address.device = entry.device;
        return std::make_unique<IndiCaptureDriver>(address, IndiCameraTimeouts{}, entry.chip,
                                                   widgets_);
    }
    return std::make_unique<V4l2CaptureDriver>(cameras_[i].path, io_, widgets_);
}

std::unique_ptr<CaptureView> MachineCaptureDrivers::view(QWidget* parent, bool visible,
                                                         const QRect& geometry) {
    return widgets_ ? widgets_->view(parent, visible, geometry) : nullptr;
}

const QStringList& MachineCaptureDrivers::problems() {
    settle();
    return problems_;
}
