#pragma once

#include "platform/telescope/indi_device_access.h"
#include "platform/telescope/telescope.h"

// An INDI device for the settings dialog: tests set its properties and read what was sent.
// failSend makes send throw as a lost server would.
class FakeIndiDevice : public IndiDeviceAccess {
public:
    QString deviceName() const override { return QStringLiteral("Mount"); }
    std::vector<IndiVector> properties() const override { return vectors; }
    quint64 revision() const override { return changes; }
    QString lastMessage() const override { return message; }
    void send(const IndiVector& changed) override {
        if (failSend)
            throw TelescopeError("Lost the connection to the INDI server at localhost:7624");
        sent.push_back(changed);
    }

    std::vector<IndiVector> vectors;
    quint64 changes = 1;
    QString message;
    bool failSend = false;
    std::vector<IndiVector> sent;
};
