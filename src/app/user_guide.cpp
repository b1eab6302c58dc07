#include "app/user_guide.h"

#include <QDir>
#include <QFileInfo>

QString userGuideIn(const QString& programDir) {
    const QDir dir(programDir);
    const QString path = QDir::cleanPath(
        dir.filePath(QStringLiteral("../share/doc/orvalis/") + QLatin1String(kUserGuideName)));
    return QFileInfo(path).isFile() ? path : QString();
}
