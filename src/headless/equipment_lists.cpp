#include "headless/equipment_lists.h"

#include "platform/capture/capture_driver.h"
#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_mount_list.h"
#include "platform/telescope/telescope.h"

#include <QTextStream>

namespace {
constexpr int kDriverIndices = 9;
constexpr int kIndiListMs = 3000;
constexpr int kAlpacaSearchMs = 1500;

void addIndiMounts(const QString& server, const MountFinders& finders,
                   std::vector<MountChoice>& mounts, QStringList& notes) {
    if (server.trimmed().isEmpty())
        return;
    const std::optional<IndiAddress> address = parseIndiServer(server);
    if (!address) {
        notes << QStringLiteral("The INDI server \"%1\" is no host:port").arg(server);
        return;
    }
    QString error;
    for (const QString& device : finders.indi(address->host, address->port, &error))
        mounts.push_back(indiMountChoice({address->host, address->port, device}));
    if (!error.isEmpty())
        notes << error;
}

void addAlpacaMounts(const MountFinders& finders, std::vector<MountChoice>& mounts,
                     QStringList& notes) {
    try {
        for (const AlpacaDevice& device : finders.alpaca())
            mounts.push_back(alpacaMountChoice(device));
    } catch (const TelescopeError& error) {
        notes << QString::fromUtf8(error.what());
    }
}
} // namespace

std::vector<CameraEntry> listCameras(CaptureDrivers& drivers) {
    std::vector<CameraEntry> cameras;
    for (int index = 0; index < kDriverIndices; ++index) {
        QString name, version;
        if (!drivers.description(index, name, version))
            continue;
        const std::unique_ptr<CaptureDriver> driver = drivers.create(index);
        cameras.push_back(
            {index, name + u' ' + version, driver ? driver->deviceName() : QString()});
    }
    return cameras;
}

std::optional<int> findCamera(const std::vector<CameraEntry>& cameras, const QString& name) {
    for (const CameraEntry& camera : cameras)
        if (camera.caption == name)
            return camera.index;
    for (const CameraEntry& camera : cameras)
        if (!camera.deviceName.isEmpty() && camera.deviceName == name)
            return camera.index;
    // A caption is "name version": the name alone will do.
    for (const CameraEntry& camera : cameras)
        if (camera.caption.section(u' ', 0, -2) == name)
            return camera.index;
    return std::nullopt;
}

void printCameras(const std::vector<CameraEntry>& cameras, QTextStream& out) {
    for (const CameraEntry& camera : cameras)
        out << camera.index << '\t' << camera.caption << '\n';
    out.flush();
}

MountFinders networkMountFinders() {
    return {[](const QString& host, int port, QString* error) {
                return listIndiMountDevices(host, port, kIndiListMs, error);
            },
            [] { return discoverAlpacaTelescopes(kAlpacaSearchMs); }};
}

std::vector<MountChoice> listMounts(const QString& indiServer, const MountFinders& finders,
                                    QStringList& notes) {
    std::vector<MountChoice> mounts{simMountChoice()};
    addIndiMounts(indiServer, finders, mounts, notes);
    addAlpacaMounts(finders, mounts, notes);
    return mounts;
}

void printMounts(const std::vector<MountChoice>& mounts, QTextStream& out) {
    for (const MountChoice& mount : mounts)
        out << mount.identifier << '\t' << mount.caption << '\n';
    out.flush();
}
