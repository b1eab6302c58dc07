#include "platform/telescope/mount_words.h"

#include "platform/telescope/alpaca_address.h"
#include "platform/telescope/indi_address.h"
#include "platform/telescope/sim_telescope.h"

QString mountInWords(const QString& identifier) {
    if (const auto indi = parseIndiIdentifier(identifier)) {
        const QString server = indi->port == 7624
                                   ? indi->host
                                   : QStringLiteral("%1:%2").arg(indi->host).arg(indi->port);
        return QStringLiteral("INDI mount %1 on %2").arg(indi->device, server);
    }
    if (const auto alpaca = parseAlpacaIdentifier(identifier))
        return QStringLiteral("Alpaca mount %1 on %2")
            .arg(alpaca->deviceNumber)
            .arg(alpacaHostPort(alpaca->host, alpaca->port));
    if (identifier == kSimTelescopeId)
        return QStringLiteral("the simulator mount");
    return identifier;
}

QString guideOutputInWords(const QString& output) {
    if (output == QStringLiteral("Parallel"))
        return QStringLiteral("the relay box");
    if (output == QStringLiteral("Serial"))
        return QStringLiteral("the Serial output");
    const QString ascom = QStringLiteral("ASCOM ");
    if (!output.startsWith(ascom))
        return output;
    const QString id = output.mid(ascom.size());
    if (id == QStringLiteral("<none>"))
        return QStringLiteral("no mount");
    if (id == kSimTelescopeId)
        return mountInWords(id);
    return QStringLiteral("Mount (INDI/Alpaca) ") + mountInWords(id);
}
