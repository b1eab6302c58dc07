// The windowed program's telescope registrations: each driver with its widget settings dialog.
#include "platform/capture/sim_source_dialog.h"
#include "platform/telescope/indi_registration.h"
#include "platform/telescope/indi_setup_dialog.h"
#include "platform/telescope/sim_telescope.h"

namespace {
void runSimTelescopeDialog(SkySimulator& sky, SettingsStore& store) {
    SimSourceDialog dialog(sky, store);
    dialog.setWindowTitle(QStringLiteral("Simulated Telescope"));
    dialog.exec();
}
} // namespace

void registerSimTelescope(TelescopeRegistry& registry, SkySimulator& sky, SettingsStore& store) {
    registerSimTelescope(registry, sky, store, runSimTelescopeDialog);
}

void registerIndiTelescopes(TelescopeRegistry& registry) {
    registerIndiTelescopes(registry, runIndiSetupDialog);
}
