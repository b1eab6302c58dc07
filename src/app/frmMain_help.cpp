#include "app/dialog_place.h"
#include "app/dither_window.h"
#include "app/frmMain.h"
#include "app/user_guide.h"
#include "server/server_link.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QUrl>

void frmMain::mnuUserGuide_Click() {
    const QString path = userGuideIn(QCoreApplication::applicationDirPath());
    if (path.isEmpty()) {
        note(QStringLiteral("No user guide beside the program (share/doc/orvalis/%1)")
                 .arg(QLatin1String(kUserGuideName)));
        return;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        note(QStringLiteral("The user guide could not be opened: %1").arg(path));
}

void frmMain::mnuDither_Click() {
    if (!ditherWindow) {
        ditherWindow = new DitherWindow(
            [this](double amount, bool raOnly) { return ditherNow(amount, raOnly); }, this);
        ditherWindow->setAttribute(Qt::WA_DeleteOnClose);
        connect(&engine_, &GuideEngine::settleDone, ditherWindow, &DitherWindow::settled);
        placeDialog(*ditherWindow, *this);
    }
    ditherWindow->show();
    ditherWindow->raise();
}

// As an imaging program's dither, with the protocol's default settling; refused the same way
// while a guide or dither is under way.
QString frmMain::ditherNow(double amount, bool raOnly) {
    if (!state.guiding)
        return QStringLiteral("start guiding first (Guide)");
    if (!server_)
        return QStringLiteral("the guider is still starting");
    const rpc::Reply reply = server_->dither(amount, raOnly, SettleParams{});
    return reply.error ? reply.error->message : QString();
}
