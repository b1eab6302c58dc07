#include "headless/headless_options.h"

#include <QCommandLineParser>

namespace {
// The options in the order --help lists them.
QList<QCommandLineOption> optionTable() {
    return {
        {QStringLiteral("headless"),
         QStringLiteral("Run without a display and without a window: the guiding engine and the "
                        "guiding server only, with the settings of the windowed program. Stop "
                        "it with Ctrl+C or SIGTERM.")},
        {QStringLiteral("camera"),
         QStringLiteral("Use this camera: its name as --list-cameras shows it, or the device name "
                        "of an INDI camera. Without it, the camera chosen last is used."),
         QStringLiteral("NAME")},
        {QStringLiteral("mount"),
         QStringLiteral("Guide through this mount: its identifier as --list-mounts shows it. "
                        "Without it, the mount chosen last is used."),
         QStringLiteral("ID")},
        {QStringLiteral("port"),
         QStringLiteral("Let the guiding server listen on this TCP port (1 to 65535) instead of "
                        "the one in the settings (4400 unless changed)."),
         QStringLiteral("N")},
        {QStringLiteral("listen"),
         QStringLiteral("local: accept imaging programs on this computer only; network: accept "
                        "them from every computer that can reach this one, which can then "
                        "guide and move the mount. Overrides the setting."),
         QStringLiteral("local|network")},
        {QStringLiteral("protocol-log"),
         QStringLiteral("Append every line the guiding server receives and sends to this file, "
                        "stamped with seconds since the start and the client's number: for "
                        "finding out what an imaging program asked."),
         QStringLiteral("FILE")},
        {QStringLiteral("take-darks"),
         QStringLiteral("Take N darks (1 to 100) with the camera at the exposure in use, store "
                        "their combination in the dark library and exit; the camera must be "
                        "covered. Implies --headless; the guiding server is not started."),
         QStringLiteral("N")},
        {QStringLiteral("list-cameras"),
         QStringLiteral("Print the cameras found, one a line (number and name), and exit.")},
        {QStringLiteral("list-mounts"),
         QStringLiteral("Print the mounts found, one a line (identifier and name), and exit: the "
                        "simulator, the mounts of the INDI server in the settings and the "
                        "Alpaca telescopes on the network.")},
        {{QStringLiteral("h"), QStringLiteral("help")},
         QStringLiteral("Print this help and exit.")},
        {QStringLiteral("version"), QStringLiteral("Print the version and exit.")},
    };
}

// `words` broken into lines of at most `width` characters (longer words stand alone), each
// indented by `indent` spaces and ended by a line break.
QString wrapped(const QString& words, int indent, int width) {
    const QString margin(indent, u' ');
    QString text, line;
    for (const QString& word : words.split(u' ', Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
            text += margin + line + u'\n';
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    return line.isEmpty() ? text : text + margin + line + u'\n';
}

std::optional<quint16> readPort(const QString& text, QString& error) {
    bool ok = false;
    const uint port = text.trimmed().toUInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        error =
            QStringLiteral("--port must be a whole number from 1 to 65535, not \"%1\"").arg(text);
        return std::nullopt;
    }
    return static_cast<quint16>(port);
}

std::optional<int> readDarkCount(const QString& text, QString& error) {
    bool ok = false;
    const int count = text.trimmed().toInt(&ok);
    if (!ok || count < 1 || count > 100) {
        error = QStringLiteral("--take-darks must be a whole number from 1 to 100, not \"%1\"")
                    .arg(text);
        return std::nullopt;
    }
    return count;
}

std::optional<bool> readListen(const QString& text, QString& error) {
    const QString mode = text.trimmed();
    if (mode.compare(QLatin1String("network"), Qt::CaseInsensitive) == 0)
        return true;
    if (mode.compare(QLatin1String("local"), Qt::CaseInsensitive) == 0)
        return false;
    error = QStringLiteral("--listen must be local or network, not \"%1\"").arg(text);
    return std::nullopt;
}

// Reads the values of a parsed command line; false with `error` set when one cannot be used.
bool readValues(const QCommandLineParser& parser, HeadlessOptions& out, QString& error) {
    out.headless = parser.isSet(QStringLiteral("headless"));
    out.camera = parser.value(QStringLiteral("camera"));
    out.mount = parser.value(QStringLiteral("mount"));
    out.protocolLog = parser.value(QStringLiteral("protocol-log"));
    out.listCameras = parser.isSet(QStringLiteral("list-cameras"));
    out.listMounts = parser.isSet(QStringLiteral("list-mounts"));
    out.help = parser.isSet(QStringLiteral("help"));
    out.version = parser.isSet(QStringLiteral("version"));
    if (parser.isSet(QStringLiteral("port")) &&
        !(out.port = readPort(parser.value(QStringLiteral("port")), error)))
        return false;
    if (parser.isSet(QStringLiteral("take-darks"))) {
        if (!(out.takeDarks = readDarkCount(parser.value(QStringLiteral("take-darks")), error)))
            return false;
        out.headless = true;
    }
    if (parser.isSet(QStringLiteral("listen")) &&
        !(out.network = readListen(parser.value(QStringLiteral("listen")), error)))
        return false;
    if (!parser.positionalArguments().isEmpty()) {
        error = QStringLiteral("Unexpected argument \"%1\"").arg(parser.positionalArguments()[0]);
        return false;
    }
    return true;
}
} // namespace

HeadlessParse parseHeadlessOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(optionTable());
    if (!parser.parse(arguments))
        return {std::nullopt, parser.errorText()};
    HeadlessOptions options;
    QString error;
    if (!readValues(parser, options, error))
        return {std::nullopt, error};
    const bool tuned = !options.camera.isEmpty() || !options.mount.isEmpty() || options.port ||
                       options.network || !options.protocolLog.isEmpty();
    if (tuned && !options.headless)
        return {std::nullopt, QStringLiteral("--camera, --mount, --port, --listen and "
                                             "--protocol-log need --headless")};
    return {options, {}};
}

QString headlessHelpText() {
    QString text = QStringLiteral("Usage: orvalis [--headless [options]]\n\n");
    text += wrapped(
        QStringLiteral("Without options Orvalis opens its window. With --headless it runs "
                       "without a display, for a small computer at the telescope: an imaging "
                       "program on this or another computer drives the guiding through the "
                       "guiding server. Messages go to standard error (the journal when run "
                       "as a systemd service). Settings are read from and saved to the same "
                       "file as the window's."),
        0, 80);
    text += QStringLiteral("\nOptions:\n");
    for (const QCommandLineOption& option : optionTable()) {
        QStringList names;
        for (const QString& name : option.names())
            names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
        QString head = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            head += u' ' + option.valueName();
        text += QStringLiteral("  ") + head + u'\n' + wrapped(option.description(), 6, 80);
    }
    return text;
}
