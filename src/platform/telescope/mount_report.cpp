#include "platform/telescope/mount_report.h"

QString pierSideName(PierSide side) {
    switch (side) {
    case PierSide::East:
        return QStringLiteral("East");
    case PierSide::West:
        return QStringLiteral("West");
    case PierSide::Unknown:
        break;
    }
    return QStringLiteral("Unknown");
}

PierSide pierSideFromName(const QString& name) {
    const QString n = name.trimmed();
    if (n.compare(QStringLiteral("East"), Qt::CaseInsensitive) == 0)
        return PierSide::East;
    if (n.compare(QStringLiteral("West"), Qt::CaseInsensitive) == 0)
        return PierSide::West;
    return PierSide::Unknown;
}
