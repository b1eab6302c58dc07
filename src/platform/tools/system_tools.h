#pragma once

#include <QString>

// Finding and starting other programs of the desktop.
class SystemTools {
public:
    virtual ~SystemTools() = default;
    // Full path of the program found on PATH, or "" when there is none.
    virtual QString findExecutable(const QString& name) = 0;
    // Starts the program without a shell and without waiting; false when it could not start.
    virtual bool startDetached(const QString& program) = 0;
};
