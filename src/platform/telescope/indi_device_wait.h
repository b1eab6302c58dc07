#pragma once

#include "platform/telescope/indi_address.h"
#include "platform/telescope/indi_client.h"

// How the wait for a device's CONNECTION switch on a link just opened ended.
enum class IndiDeviceWait {
    Found,    // the switch is there
    LinkLost, // the server dropped the link
    NoSwitch, // the device is there, without a CONNECTION switch
    NoDevice, // the server answers but has no such device
    Silent,   // the server took the connection but has sent nothing at all
};

// Waits at most timeoutMs for address.device's CONNECTION on `client`, whose link to the server
// at `address` watches only that device: a server that lacks the device sends it nothing, just
// as a hung one does. So from half-way on a second link, watching every device, tells a server
// that answers from one that does not; it is dropped before the wait returns.
IndiDeviceWait waitForIndiDevice(const IndiClient& client, const IndiAddress& address,
                                 int timeoutMs);

// The reason given for IndiDeviceWait::Silent; server: "host:port".
QString indiSilentServerMessage(const QString& server);

// The reason given when a wait for the server's answer ran out; server: "host:port".
QString indiLateServerMessage(const QString& server);
