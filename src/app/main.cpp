#include "app/frmMain.h"
#include "app/program_icon.h"
#include "app/real_platform.h"
#include "headless/headless_main.h"
#include "version.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv) {
    // Before any display is opened.
    if (wantsHeadless(argc, argv))
        return runHeadless(argc, argv);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral(ORVALIS_TITLE));
    QApplication::setOrganizationName(QStringLiteral(ORVALIS_TITLE));
    QApplication::setApplicationVersion(QStringLiteral(ORVALIS_VERSION));
    QApplication::setWindowIcon(QIcon(drawnProgramIcon()));

    RealPlatform platform;
    frmMain window(platform.bundle());
    platform.setMainWindow(&window);
    if (const QStringList notes = platform.startupNotes(); !notes.isEmpty())
        window.note(notes.join(QStringLiteral("; ")));
    window.show();
    return app.exec();
}
