#pragma once

#include "platform/telescope/alpaca_address.h"

#include <QHostAddress>
#include <QList>
#include <QString>
#include <vector>

// A telescope an Alpaca server offers.
struct AlpacaDevice {
    QString name;
    AlpacaAddress address;

    bool operator==(const AlpacaDevice&) const = default;
};

// The IPv4 broadcast address of every running interface that has one, then 255.255.255.255.
QList<QHostAddress> alpacaBroadcastTargets();

// Sends the discovery probe to UDP port discoveryPort of every target, gathers the answers for
// timeoutMs and then asks each distinct server that answered for its telescopes (each within
// timeoutMs). A server that cannot be asked is left out. Throws TelescopeError when no probe
// could be sent at all.
std::vector<AlpacaDevice>
discoverAlpacaTelescopes(int timeoutMs = 1500, quint16 discoveryPort = 32227,
                         const QList<QHostAddress>& targets = alpacaBroadcastTargets());

// The telescopes configured on the Alpaca server at host:port, in the server's order; every
// wait is bounded by timeoutMs. Throws TelescopeError when the server cannot be asked.
std::vector<AlpacaDevice> listAlpacaTelescopes(const QString& host, int port, int timeoutMs);
