#include "headless/headless_platform.h"

#include "platform/dialogs/stderr_message_boxes.h"
#include "platform/parport/ppdev_port.h"
#include "platform/serial/qt_serial_control.h"
#include "platform/sleep/thread_sleeper.h"
#include "platform/sound/qt_sound.h"
#include "platform/sound/quiet_sound.h"
#include "platform/store/profile_store.h"
#include "platform/telescope/alpaca_telescope.h"
#include "platform/telescope/fixed_driver_chooser.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "platform/tools/process_tools.h"
#include "settings/setting_keys.h"
#include "sim/sim_clock.h"
#include "sim/sky_settings.h"
#include "sim/sky_simulator.h"

#include <QTextStream>

QString headlessMount(const QString& given, SettingsStore& store) {
    const QString mount = given.isEmpty()
                              ? store.readSetting(keys::DriverID.section, keys::DriverID.key,
                                                  keys::DriverID.startupDefault)
                              : given;
    return mount == QLatin1String(keys::DriverID.startupDefault) ? QString() : mount;
}

HeadlessPlatform::HeadlessPlatform(const HeadlessSetup& setup)
    : store_(std::make_unique<ProfileStore>(
          setup.settingsPath.isEmpty() ? IniSettingsStore::defaultPath() : setup.settingsPath)),
      parallelPort_(std::make_unique<PpdevParallelPort>()),
      serial_(std::make_unique<QtSerialControl>()),
      messages_(std::make_unique<StderrMessageBoxes>()),
      sleeper_(std::make_unique<ThreadSleeper>()),
      telescopes_(std::make_unique<TelescopeRegistry>()), tools_(std::make_unique<ProcessTools>()),
      sky_(std::make_unique<SkySimulator>(SkyOptions{}, std::make_shared<SteadySimClock>())) {
    if (setup.sound)
        sound_ = std::make_unique<QtSound>();
    else
        sound_ = std::make_unique<QuietSound>();
    applySkySettings(*store_, *sky_);
    // The simulator's sky is part of each equipment set.
    store_->setSelected([this] { applySkySettings(*store_, *sky_); });
    capture_ = std::make_unique<MachineCaptureDrivers>(*sky_, *store_, nullptr,
                                                       setup.io ? setup.io : systemV4l2Io(),
                                                       setup.devRoot, setup.indiLister);
    registerSimTelescope(*telescopes_, *sky_, *store_, {});
    registerIndiTelescopes(*telescopes_, {});
    registerAlpacaTelescopes(*telescopes_);
    chooser_ = std::make_unique<FixedDriverChooser>(headlessMount(setup.mount, *store_));
}

HeadlessPlatform::~HeadlessPlatform() = default;

Platform HeadlessPlatform::bundle() {
    return Platform{store_.get(),   parallelPort_.get(), serial_.get(),     messages_.get(),
                    sound_.get(),   sleeper_.get(),      telescopes_.get(), tools_.get(),
                    capture_.get(), chooser_.get(),      store_.get()};
}

QStringList HeadlessPlatform::startupNotes() {
    QStringList notes;
    if (const QString note = store_->unreadableNote(); !note.isEmpty())
        notes.append(note);
    notes.append(capture_->problems());
    return notes;
}

void HeadlessPlatform::printCameraList(QTextStream& out, QTextStream& err) {
    printCameras(listCameras(*capture_), out);
    for (const QString& problem : capture_->problems())
        err << messageLine(problem) << '\n';
    err.flush();
}

void HeadlessPlatform::printMountList(QTextStream& out, QTextStream& err,
                                      const MountFinders& finders) {
    const QString server =
        store_->readSetting(keys::IndiCameraServer.section, keys::IndiCameraServer.key,
                            keys::IndiCameraServer.startupDefault);
    QStringList notes;
    printMounts(listMounts(server, finders, notes), out);
    for (const QString& note : notes)
        err << messageLine(note) << '\n';
    err.flush();
}

std::optional<CameraEntry> HeadlessPlatform::camera(const QString& name) {
    const std::vector<CameraEntry> cameras = listCameras(*capture_);
    const std::optional<int> index = findCamera(cameras, name);
    for (const CameraEntry& camera : cameras)
        if (index && camera.index == *index)
            return camera;
    return std::nullopt;
}
