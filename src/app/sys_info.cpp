#include "app/sys_info.h"

#include "platform/tools/system_tools.h"

QStringList systemInfoPrograms() {
    return {QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor")};
}

bool startSystemInfo(SystemTools& tools) {
    for (const QString& name : systemInfoPrograms()) {
        const QString path = tools.findExecutable(name);
        if (!path.isEmpty())
            return tools.startDetached(path);
    }
    return false;
}
