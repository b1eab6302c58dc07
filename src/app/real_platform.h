#pragma once

#include "platform/platform.h"

#include <QString>

#include <memory>

class IniSettingsStore;
class PpdevParallelPort;
class QtSerialControl;
class QtMessageBoxes;
class QtSound;
class ThreadSleeper;
class TelescopeRegistry;
class ProcessTools;
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
    // Where an unreadable settings file was kept, or "".
    QString keptUnreadableSettings() const;

private:
    std::unique_ptr<IniSettingsStore> store_;
    std::unique_ptr<PpdevParallelPort> parallelPort_;
    std::unique_ptr<QtSerialControl> serial_;
    std::unique_ptr<QtMessageBoxes> messages_;
    std::unique_ptr<QtSound> sound_;
    std::unique_ptr<ThreadSleeper> sleeper_;
    std::unique_ptr<TelescopeRegistry> telescopes_;
    std::unique_ptr<ProcessTools> tools_;
};
