#pragma once

#include "platform/telescope/indi_client.h"
#include "platform/telescope/indi_device_access.h"

// One device of a client's server as the settings dialog sees it. The client must outlive it.
class ClientDeviceAccess : public IndiDeviceAccess {
public:
    // server: "host:port", for the message when the link is gone.
    ClientDeviceAccess(IndiClient& client, QString device, QString server);

    QString deviceName() const override { return device_; }
    std::vector<IndiVector> properties() const override;
    quint64 revision() const override;
    QString lastMessage() const override;
    void send(const IndiVector& changed) override;

private:
    IndiClient& client_;
    QString device_;
    QString server_;
};
