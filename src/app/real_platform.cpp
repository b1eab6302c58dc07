#include "app/real_platform.h"

#include "platform/capture/desktop_capture_drivers.h"
#include "platform/dialogs/qt_message_boxes.h"
#include "platform/parport/ppdev_port.h"
#include "platform/serial/qt_serial_control.h"
#include "platform/sleep/thread_sleeper.h"
#include "platform/sound/qt_sound.h"
#include "platform/store/profile_store.h"
#include "platform/telescope/alpaca_telescope.h"
#include "platform/telescope/chooser_dialog.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/sim_telescope.h"
#include "platform/telescope/telescope_registry.h"
#include "platform/tools/process_tools.h"
#include "sim/sim_clock.h"
#include "sim/sky_settings.h"
#include "sim/sky_simulator.h"

RealPlatform::RealPlatform()
    : store_(std::make_unique<ProfileStore>(IniSettingsStore::defaultPath())),
      parallelPort_(std::make_unique<PpdevParallelPort>()),
      serial_(std::make_unique<QtSerialControl>()),
      messages_(std::make_unique<QtMessageBoxes>(nullptr)), sound_(std::make_unique<QtSound>()),
      sleeper_(std::make_unique<ThreadSleeper>()),
      telescopes_(std::make_unique<TelescopeRegistry>()), tools_(std::make_unique<ProcessTools>()),
      sky_(std::make_unique<SkySimulator>(SkyOptions{}, std::make_shared<SteadySimClock>())) {
    applySkySettings(*store_, *sky_);
    // The simulator's sky is part of each equipment set.
    store_->setSelected([this] { applySkySettings(*store_, *sky_); });
    capture_ = std::make_unique<DesktopCaptureDrivers>(*sky_, *store_);
    registerSimTelescope(*telescopes_, *sky_, *store_);
    registerIndiTelescopes(*telescopes_);
    registerAlpacaTelescopes(*telescopes_);
    chooser_ = std::make_unique<ChooserDialog>(nullptr);
}

RealPlatform::~RealPlatform() = default;

Platform RealPlatform::bundle() {
    return Platform{store_.get(),   parallelPort_.get(), serial_.get(),     messages_.get(),
                    sound_.get(),   sleeper_.get(),      telescopes_.get(), tools_.get(),
                    capture_.get(), chooser_.get(),      store_.get()};
}

void RealPlatform::setMainWindow(QWidget* window) {
    messages_->setParentWindow(window);
}

QStringList RealPlatform::startupNotes() const {
    QStringList notes;
    if (const QString note = store_->unreadableNote(); !note.isEmpty())
        notes.append(note);
    notes.append(capture_->problems());
    return notes;
}
