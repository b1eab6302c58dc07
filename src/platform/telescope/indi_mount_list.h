#pragma once

#include "platform/telescope/indi_client.h"

#include <QString>
#include <vector>

// Driver interface bits of DRIVER_INFO's DRIVER_INTERFACE.
inline constexpr int indiTelescopeInterface = 1 << 0;
inline constexpr int indiCcdInterface = 1 << 1;
inline constexpr int indiGuiderInterface = 1 << 2;

// The devices, sorted by name, whose DRIVER_INFO interface has any of `interfaceBits`.
std::vector<QString> indiDevicesWith(const IndiSnapshot& snapshot, int interfaceBits);

// Connects `client` to the server and waits until its devices have been described (at most
// timeoutMs in all). false, with why in `error`, when the server cannot be reached. When the
// link drops meanwhile, `error` says so and what was heard stays in the client; otherwise
// `error` is cleared.
bool describeIndiServer(IndiClient& client, const QString& host, int port, int timeoutMs,
                        QString* error = nullptr);

// describeIndiServer, then lists the devices indiDevicesWith picks and disconnects. An unreachable
// server gives an empty list and, in `error`, why.
std::vector<QString> listIndiDevices(const QString& host, int port, int interfaceBits,
                                     int timeoutMs, QString* error = nullptr);

// The devices, sorted by name, whose DRIVER_INFO says they can move a mount: a telescope or a
// guider (for example a camera with a guide port).
std::vector<QString> indiMountDevices(const IndiSnapshot& snapshot);

// listIndiDevices of the mounts.
std::vector<QString> listIndiMountDevices(const QString& host, int port, int timeoutMs = 3000,
                                          QString* error = nullptr);
