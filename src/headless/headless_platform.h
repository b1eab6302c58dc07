#pragma once

#include "headless/equipment_lists.h"
#include "platform/capture/machine_capture_drivers.h"
#include "platform/platform.h"

#include <QStringList>

#include <memory>

class ProfileStore;
class PpdevParallelPort;
class QtSerialControl;
class StderrMessageBoxes;
class ThreadSleeper;
class TelescopeRegistry;
class ProcessTools;
class FixedDriverChooser;
class SkySimulator;

// Where a program without a display finds its equipment; the defaults are this machine's.
struct HeadlessSetup {
    QString settingsPath;       // empty: the windowed program's settings file
    QString mount;              // the telescope driver to answer with; empty: the saved one
    std::shared_ptr<V4l2Io> io; // null: the system's
    QString devRoot = QStringLiteral("/dev");
    IndiCameraLister indiLister = listIndiCameras;
    bool sound = true; // false: a Sound that plays nothing
};

// The platform components of a program without a display: the same settings file, ports,
// sound, telescope drivers and cameras (same list and order as the Camera menu) as the window
// has, but no dialogs. Messages are lines on standard error; the telescope chooser answers with
// the driver given, or with the one saved when the program started.
class HeadlessPlatform {
public:
    explicit HeadlessPlatform(const HeadlessSetup& setup = {});
    ~HeadlessPlatform();

    Platform bundle();
    // The capture drivers, with problems() for notes at start-up.
    MachineCaptureDrivers& capture() { return *capture_; }
    // What the operator should know from setting up: an unreadable settings file set aside,
    // cameras that could not be opened or listed.
    QStringList startupNotes();

    // For --list-cameras: the cameras on `out` (see printCameras), then problems met listing
    // them on `err`, each as a message line (see StderrMessageBoxes).
    void printCameraList(QTextStream& out, QTextStream& err);
    // For --list-mounts: the mounts on `out` (see printMounts), the INDI server's being the
    // one the settings name for cameras; why a source gave none on `err`.
    void printMountList(QTextStream& out, QTextStream& err,
                        const MountFinders& finders = networkMountFinders());
    // For --camera: the Camera menu entry `name` stands for (see findCamera).
    std::optional<CameraEntry> camera(const QString& name);

private:
    std::unique_ptr<ProfileStore> store_;
    std::unique_ptr<PpdevParallelPort> parallelPort_;
    std::unique_ptr<QtSerialControl> serial_;
    std::unique_ptr<StderrMessageBoxes> messages_;
    std::unique_ptr<Sound> sound_;
    std::unique_ptr<ThreadSleeper> sleeper_;
    std::unique_ptr<TelescopeRegistry> telescopes_;
    std::unique_ptr<ProcessTools> tools_;
    std::unique_ptr<SkySimulator> sky_;
    std::unique_ptr<MachineCaptureDrivers> capture_;
    std::unique_ptr<FixedDriverChooser> chooser_;
};

// The telescope driver a program without a display answers with: `given` unless empty, else
// the one saved in the store; "" for none.
QString headlessMount(const QString& given, SettingsStore& store);
