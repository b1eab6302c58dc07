#pragma once

#include "platform/telescope/indi_property.h"

#include <QString>
#include <functional>
#include <vector>

// One device on an INDI server as its settings dialog sees it.
class IndiDeviceAccess {
public:
    virtual ~IndiDeviceAccess() = default;
    virtual QString deviceName() const = 0;
    // The device's properties as last heard.
    virtual std::vector<IndiVector> properties() const = 0;
    // Changes whenever anything of the device may have changed.
    virtual quint64 revision() const = 0;
    // The driver's most recent message, empty when none.
    virtual QString lastMessage() const = 0;
    // Sends the vector's element values; throws TelescopeError when the server is gone.
    virtual void send(const IndiVector& changed) = 0;
};

// Shows the settings dialog for a device and returns when it has closed.
using IndiSetupDialogRunner = std::function<void(IndiDeviceAccess& device)>;
