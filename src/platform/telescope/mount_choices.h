#pragma once

#include "platform/telescope/alpaca_discovery.h"
#include "platform/telescope/indi_address.h"

#include <QString>

// A telescope driver the operator may choose: what they read, and the identifier the telescope
// registry creates it from.
struct MountChoice {
    QString caption;
    QString identifier;

    bool operator==(const MountChoice&) const = default;
};

MountChoice simMountChoice();
// An INDI mount: "INDI: DEVICE (HOST:PORT)".
MountChoice indiMountChoice(const IndiAddress& address);
// An Alpaca telescope: "Alpaca: NAME (HOST:PORT)".
MountChoice alpacaMountChoice(const AlpacaDevice& device);
