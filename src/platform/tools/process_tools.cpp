#include "platform/tools/process_tools.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

QString ProcessTools::findExecutable(const QString& name) {
    if (name.isEmpty())
        return {};
    return QStandardPaths::findExecutable(name);
}

bool ProcessTools::startDetached(const QString& program) {
    if (program.isEmpty())
        return false;
    return QProcess::startDetached(program, {});
}

bool ProcessTools::openUrl(const QUrl& url) {
    return QDesktopServices::openUrl(url);
}
