#pragma once

class CaptureDrivers;
class DriverChooser;
class SettingsStore;
class ParallelPort;
class SerialControl;
class MessageBoxes;
class Sound;
class Sleeper;
class TelescopeFactory;
class SystemTools;
class ProfileStore;

// Every outside component the main window reaches, handed over at construction. The pointers
// are not owned and must all be set; main() builds the real bundle, tests build one of fakes.
struct Platform {
    SettingsStore* store = nullptr;
    ParallelPort* parallelPort = nullptr;
    SerialControl* serial = nullptr;
    MessageBoxes* messages = nullptr;
    Sound* sound = nullptr;
    Sleeper* sleeper = nullptr;
    TelescopeFactory* telescopes = nullptr;
    SystemTools* tools = nullptr;
    CaptureDrivers* capture = nullptr;
    DriverChooser* chooser = nullptr;
    // The equipment sets behind `store`; optional: without it there is one set.
    ProfileStore* profiles = nullptr;

    bool complete() const {
        return store && parallelPort && serial && messages && sound && sleeper && telescopes &&
               tools && capture && chooser;
    }
};
