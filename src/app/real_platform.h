#pragma once

#include "platform/platform.h"

#include <QStringList>

#include <memory>

class ProfileStore;
class PpdevParallelPort;
class QtSerialControl;
class QtMessageBoxes;
class QtSound;
class ThreadSleeper;
class TelescopeRegistry;
class ProcessTools;
class DesktopCaptureDrivers;
class DriverChooser;
class SkySimulator;
class QWidget;

// The platform components of a running program: the settings file of this user, the machine's
// parallel and serial ports, the desktop's dialogs, sound and programs.
class RealPlatform {
public:
    RealPlatform();
    ~RealPlatform();

    Platform bundle();
    // Message boxes are shown over this window once it exists.
    void setMainWindow(QWidget* window);
    // Notes for the operator from setting up: an unreadable settings file set aside, cameras
    // that could not be opened.
    QStringList startupNotes() const;

private:
    std::unique_ptr<ProfileStore> store_;
    std::unique_ptr<PpdevParallelPort> parallelPort_;
    std::unique_ptr<QtSerialControl> serial_;
    std::unique_ptr<QtMessageBoxes> messages_;
    std::unique_ptr<QtSound> sound_;
    std::unique_ptr<ThreadSleeper> sleeper_;
    std::unique_ptr<TelescopeRegistry> telescopes_;
    std::unique_ptr<ProcessTools> tools_;
    std::unique_ptr<SkySimulator> sky_;
    std::unique_ptr<DesktopCaptureDrivers> capture_;
    std::unique_ptr<DriverChooser> chooser_;
};
