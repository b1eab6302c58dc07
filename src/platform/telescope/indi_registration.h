#pragma once

#include "platform/telescope/indi_device_access.h"

class TelescopeRegistry;

// Lets the registry create INDI mounts from "indi://HOST:PORT/DEVICE" identifiers, with `setup`
// as their settings dialog (none: SetupDialog throws).
void registerIndiTelescopes(TelescopeRegistry& registry, IndiSetupDialogRunner setup);
// The same with the widget settings dialog; defined with the widgets (orvalis_ui).
void registerIndiTelescopes(TelescopeRegistry& registry);
