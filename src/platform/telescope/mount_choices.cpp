#include "platform/telescope/mount_choices.h"

#include "platform/telescope/sim_telescope.h"

MountChoice simMountChoice() {
    return {QStringLiteral("Orvalis Telescope Simulator"), kSimTelescopeId};
}

MountChoice indiMountChoice(const IndiAddress& address) {
    return {QStringLiteral("INDI: %1 (%2:%3)").arg(address.device, address.host).arg(address.port),
            indiIdentifier(address)};
}

MountChoice alpacaMountChoice(const AlpacaDevice& device) {
    return {QStringLiteral("Alpaca: %1 (%2)")
                .arg(device.name, alpacaHostPort(device.address.host, device.address.port)),
            alpacaIdentifier(device.address)};
}
