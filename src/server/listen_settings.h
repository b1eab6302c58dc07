#pragma once

#include <QStringList>

class SettingsReader;

// Where the server listens, from "Server Options"; a value that cannot be read gives way to
// its default. Port: a whole number 0..65535; Listen: "local" or "network", in any letter
// case, spaces around allowed.
struct ListenSettings {
    quint16 port = 0;
    bool network = false;
    QStringList unreadable; // each value replaced, and the default used instead
};

ListenSettings listenSettings(SettingsReader& in);
