#pragma once

#include <QString>
#include <optional>

// Where an INDI mount lives: the server's host and TCP port and the device's name on it.
struct IndiAddress {
    QString host;
    int port = 7624;
    QString device;

    bool operator==(const IndiAddress&) const = default;
};

// Reads "indi://HOST:PORT/DEVICE", the device name percent-encoded
// ("indi://localhost:7624/Telescope%20Simulator"). The port is required and must lie in
// 1..65535; host and device must not be empty. Anything else gives no address.
std::optional<IndiAddress> parseIndiIdentifier(const QString& identifier);

// Reads a server's "host:port" ("[::1]:7624" for IPv6; without a port, 7624). The device is
// left empty. Blank text or anything else gives no address.
std::optional<IndiAddress> parseIndiServer(const QString& text);

// The identifier parseIndiIdentifier reads back as the same address.
QString indiIdentifier(const IndiAddress& address);

// "host:port" (an IPv6 host in brackets), for messages.
QString indiServerName(const IndiAddress& address);
