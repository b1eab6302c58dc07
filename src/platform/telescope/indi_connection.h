#pragma once

#include "platform/telescope/indi_client.h"

#include <QString>
#include <optional>

// Whether the device's CONNECTION switch is on, as the client last heard it.
bool indiConnectionOn(const IndiClient& client, const QString& device);

enum class IndiSwitchOutcome { Done, Refused, TimedOut, LinkLost };

// The request that switches the device's CONNECTION on (CONNECT) or off (DISCONNECT).
IndiVector indiConnectionRequest(const QString& device, bool on);
// The device's answer to such a request sent when the snapshot's revision was `sentAt`: Done
// once CONNECTION has settled (not Busy) the wanted way, Refused when it turned Alert; none
// while no answer has come.
std::optional<IndiSwitchOutcome> indiConnectionAnswer(const IndiSnapshot& s, const QString& device,
                                                      bool on, quint64 sentAt);

// Sends the request and waits at most timeoutMs for the answer.
IndiSwitchOutcome switchIndiConnection(IndiClient& client, const QString& device, bool on,
                                       int timeoutMs);
