#include "settings/setting_keys.h"

#include <QDir>
#include <QStandardPaths>

QString defaultLogFilename() {
    return QDir::homePath() + QStringLiteral("/GuidingErrors.log");
}

QString defaultGuideLogFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Orvalis/logs");
}
