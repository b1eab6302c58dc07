#pragma once

#include <QString>
#include <optional>

// Where an Alpaca telescope lives: the HTTP server's host and port and the telescope's device
// number on that server.
struct AlpacaAddress {
    QString host; // a name or an IPv4/IPv6 address, without brackets
    int port = 0; // 1..65535
    int deviceNumber = 0;

    bool operator==(const AlpacaAddress&) const = default;
};

// "alpaca://HOST:PORT/telescope/N" (an IPv6 host in brackets). Host names are returned in
// lower case; texts of any other shape are rejected.
std::optional<AlpacaAddress> parseAlpacaIdentifier(const QString& identifier);
QString alpacaIdentifier(const AlpacaAddress& address);

// "host:port" for messages ("[::1]:11111" for IPv6).
QString alpacaHostPort(const QString& host, int port);
