#pragma once

#include <QString>
#include <QUrl>

// Finding and starting other programs of the desktop.
class SystemTools {
public:
    virtual ~SystemTools() = default;
    // Full path of the program found on PATH, or "" when there is none.
    virtual QString findExecutable(const QString& name) = 0;
    // Starts the program without a shell and without waiting; false when it could not start.
    virtual bool startDetached(const QString& program) = 0;
    // Opens `url` with the desktop's handler (a folder in the file manager); false when
    // none took it.
    virtual bool openUrl(const QUrl& url) = 0;
};
