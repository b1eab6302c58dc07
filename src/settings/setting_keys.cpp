#include "settings/setting_keys.h"

#include <QDir>

QString defaultLogFilename() {
    return QDir::homePath() + QStringLiteral("/GuidingErrors.log");
}
