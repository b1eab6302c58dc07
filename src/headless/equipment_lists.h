#pragma once

#include "platform/telescope/mount_choices.h"

#include <QStringList>
#include <functional>
#include <optional>
#include <vector>

class CaptureDrivers;
class QTextStream;

// A Camera menu entry: its index, its caption ("name version") and, for an INDI camera, the
// device's name on its server.
struct CameraEntry {
    int index = 0;
    QString caption;
    QString deviceName;
};

// Every driver of indices 0..8 that answers, in index order.
std::vector<CameraEntry> listCameras(CaptureDrivers& drivers);

// The index of the camera `name` stands for: the entry with that caption, else the first whose
// device name it is (an INDI camera's main chip comes before its guide chip), else the first whose
// caption it is without the version.
std::optional<int> findCamera(const std::vector<CameraEntry>& cameras, const QString& name);

// "INDEX<tab>CAPTION" a line.
void printCameras(const std::vector<CameraEntry>& cameras, QTextStream& out);

// Where mounts are looked for; tests give their own.
struct MountFinders {
    // The mounts' device names on the INDI server host:port; none, with why in `error`, when
    // it cannot be asked.
    std::function<std::vector<QString>(const QString& host, int port, QString* error)> indi;
    // The Alpaca telescopes on the network; throws TelescopeError when it cannot search.
    std::function<std::vector<AlpacaDevice>()> alpaca;
};

// Asks the INDI server (3 s at most) and searches the network for Alpaca servers (1.5 s).
MountFinders networkMountFinders();

// The simulator, then the mounts of the INDI server `indiServer` ("host:port"; blank: none),
// then the Alpaca telescopes found. Why a source gave none is added to `notes`.
std::vector<MountChoice> listMounts(const QString& indiServer, const MountFinders& finders,
                                    QStringList& notes);

// "IDENTIFIER<tab>CAPTION" a line.
void printMounts(const std::vector<MountChoice>& mounts, QTextStream& out);
