#include "platform/parport/parport_address.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <algorithm>
#include <optional>
#include <vector>

namespace {

int fallbackIndex(uint16_t address) {
    const auto* found = std::find(kLptAddresses.begin(), kLptAddresses.end(), address);
    return found == kLptAddresses.end() ? -1 : static_cast<int>(found - kLptAddresses.begin());
}

// The kernel writes "<base> <base-hi>" in decimal, e.g. "888\t1912\n".
std::optional<unsigned> baseAddress(const QString& file) {
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = QString::fromLatin1(f.read(256));
    static const QRegularExpression space(QStringLiteral("\\s+"));
    const QStringList fields = text.split(space, Qt::SkipEmptyParts);
    bool ok = false;
    const unsigned value = fields.isEmpty() ? 0 : fields.first().toUInt(&ok, 10);
    return ok ? std::optional<unsigned>(value) : std::nullopt;
}

// Port numbers listed under procRoot, lowest first.
std::vector<int> listedPorts(const QString& procRoot) {
    static const QRegularExpression name(QStringLiteral("^parport(\\d+)$"));
    std::vector<int> ports;
    const QStringList entries =
        QDir(procRoot).entryList({QStringLiteral("parport*")}, QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& entry : entries) {
        const QRegularExpressionMatch m = name.match(entry);
        if (m.hasMatch())
            ports.push_back(m.captured(1).toInt());
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

} // namespace

QString parportDevice(uint16_t address, const QString& procRoot, const QString& devRoot) {
    const int fallback = fallbackIndex(address);
    if (fallback < 0)
        return QString();
    int index = fallback;
    for (int port : listedPorts(procRoot)) {
        const QString file =
            QStringLiteral("%1/parport%2/base-addr").arg(procRoot, QString::number(port));
        if (baseAddress(file) == address) {
            index = port;
            break;
        }
    }
    return QStringLiteral("%1/parport%2").arg(devRoot, QString::number(index));
}
