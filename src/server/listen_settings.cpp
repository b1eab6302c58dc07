#include "server/listen_settings.h"

#include "settings/convert.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

ListenSettings listenSettings(SettingsReader& in) {
    ListenSettings out;
    const QString portText = in.text(keys::ServerPort);
    const auto port = toWhole(portText, 0, 65535);
    const int64_t defaultPort = *toWhole(keys::ServerPort.startupDefault, 0, 65535);
    if (!port)
        out.unreadable << QStringLiteral("Port \"%1\" (%2 used)").arg(portText).arg(defaultPort);
    out.port = static_cast<quint16>(port.value_or(defaultPort));
    const QString listen = in.text(keys::ServerListen);
    const QString mode = listen.trimmed();
    out.network = mode.compare(QLatin1String("network"), Qt::CaseInsensitive) == 0;
    if (!out.network && mode.compare(QLatin1String("local"), Qt::CaseInsensitive) != 0)
        out.unreadable << QStringLiteral("Listen \"%1\" (%2 used)")
                              .arg(listen, QLatin1String(keys::ServerListen.startupDefault));
    return out;
}
