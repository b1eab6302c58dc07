#pragma once

#include "platform/tools/system_tools.h"

// Looks programs up on PATH and starts them as detached processes.
class ProcessTools : public SystemTools {
public:
    QString findExecutable(const QString& name) override;
    // The program path is used as it is: no shell, no splitting at spaces, no arguments.
    bool startDetached(const QString& program) override;
    bool openUrl(const QUrl& url) override;
};
