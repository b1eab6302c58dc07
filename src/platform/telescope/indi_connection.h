#pragma once

#include "platform/telescope/indi_client.h"

#include <QString>

// Whether the device's CONNECTION switch is on, as the client last heard it.
bool indiConnectionOn(const IndiClient& client, const QString& device);

enum class IndiSwitchOutcome { Done, Refused, TimedOut, LinkLost };

// Sends CONNECT (on) or DISCONNECT to the device and waits at most timeoutMs for its answer:
// Done once CONNECTION has settled (not Busy) the wanted way, Refused when the device answers
// with Alert. Only an answer that comes after the request counts.
IndiSwitchOutcome switchIndiConnection(IndiClient& client, const QString& device, bool on,
                                       int timeoutMs);
