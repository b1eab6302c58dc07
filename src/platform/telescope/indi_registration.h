#pragma once

class TelescopeRegistry;

// Lets the registry create INDI mounts from "indi://HOST:PORT/DEVICE" identifiers, with the
// widget settings dialog.
void registerIndiTelescopes(TelescopeRegistry& registry);
