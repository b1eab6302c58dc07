#include "app/real_platform.h"

#include "platform/dialogs/qt_message_boxes.h"
#include "platform/parport/ppdev_port.h"
#include "platform/serial/qt_serial_control.h"
#include "platform/sleep/thread_sleeper.h"
#include "platform/sound/qt_sound.h"
#include "platform/store/ini_settings_store.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/telescope_registry.h"
#include "platform/tools/process_tools.h"

RealPlatform::RealPlatform()
    : store_(std::make_unique<IniSettingsStore>(IniSettingsStore::defaultPath())),
      parallelPort_(std::make_unique<PpdevParallelPort>()),
      serial_(std::make_unique<QtSerialControl>()),
      messages_(std::make_unique<QtMessageBoxes>(nullptr)), sound_(std::make_unique<QtSound>()),
      sleeper_(std::make_unique<ThreadSleeper>()),
      telescopes_(std::make_unique<TelescopeRegistry>()), tools_(std::make_unique<ProcessTools>()) {
    registerIndiTelescopes(*telescopes_);
}

RealPlatform::~RealPlatform() = default;

Platform RealPlatform::bundle() {
    return Platform{store_.get(), parallelPort_.get(), serial_.get(),     messages_.get(),
                    sound_.get(), sleeper_.get(),      telescopes_.get(), tools_.get()};
}

void RealPlatform::setMainWindow(QWidget* window) {
    messages_->setParentWindow(window);
}

QString RealPlatform::keptUnreadableSettings() const {
    return store_->keptUnreadableAs();
}
