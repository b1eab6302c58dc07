#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// What the command line of a program run without a display asks for. Empty or absent fields
// leave the saved settings as they are.
struct HeadlessOptions {
    bool headless = false;
    QString camera;              // a Camera menu caption or an INDI device name
    QString mount;               // a telescope driver identifier
    std::optional<quint16> port; // the guiding server's TCP port, 1..65535
    std::optional<bool> network; // the server listens on every interface (else loopback only)
    QString protocolLog;         // a file for every protocol line; empty: none
    // Take this many darks at the exposure in use, store them and exit (implies headless).
    std::optional<int> takeDarks;
    bool listCameras = false;
    bool listMounts = false;
    bool help = false;
    bool version = false;
};

// The options, or the one-line reason they cannot be used.
struct HeadlessParse {
    std::optional<HeadlessOptions> options;
    QString error;
};

// Reads `arguments` (the program's name first, as QCoreApplication::arguments() gives them).
// Unknown options, a port outside 1..65535, a --listen other than local or network, and
// arguments that are no option are errors.
HeadlessParse parseHeadlessOptions(const QStringList& arguments);

// The --help text: every option, in plain words.
QString headlessHelpText();
