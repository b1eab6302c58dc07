#pragma once

#include "platform/telescope/indi_client.h"

#include <QString>
#include <vector>

// Driver interface bits of DRIVER_INFO's DRIVER_INTERFACE.
inline constexpr int indiTelescopeInterface = 1 << 0;
inline constexpr int indiGuiderInterface = 1 << 2;

// The devices, sorted by name, whose DRIVER_INFO says they can move a mount: a telescope or a
// guider (for example a camera with a guide port).
std::vector<QString> indiMountDevices(const IndiSnapshot& snapshot);

// Connects to the server, waits until its devices have been described (at most timeoutMs in
// all), lists those indiMountDevices picks and disconnects. An unreachable server gives an
// empty list and, in `error`, why.
std::vector<QString> listIndiMountDevices(const QString& host, int port, int timeoutMs = 3000,
                                          QString* error = nullptr);
