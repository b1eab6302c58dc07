#include "app/frmMain.h"
#include "guiding/error_log.h"
#include "platform/dialogs/message_boxes.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLocale>

void frmMain::chkLogErrors_Click() {
    clearCondition(QStringLiteral("log"));
    if (chkLogErrors->isChecked())
        state.logging = openErrorLog();
    else if (state.logging) {
        state.logFileNo->close();
        state.logging = false;
    }
}

// The path and the append choice are read now; later changes apply at the next switch-on.
bool frmMain::openErrorLog() {
    if (!state.logFileNo)
        state.logFileNo = std::make_shared<ErrorLog>();
    if (state.logFileNo->open(state.logFilename, state.appendLog))
        return true;
    platform_.messages->show(
        QStringLiteral("There was a problem opening the log file.  Please check the filename "
                       "listed on the Logging Tab of the Options Panel.  The path must currently "
                       "exist, as it will not be created."),
        MessageIcon::None);
    chkLogErrors->setChecked(false);
    return false;
}

// A line that cannot be written (disk full, file gone) ends logging; guiding goes on.
void frmMain::writeErrorLogLine(double raArcsec, double decArcsec) {
    const QString line =
        errorLogLine(QDateTime::currentDateTime(), raArcsec, decArcsec, QLocale::system());
    if (state.logFileNo->writeLine(line))
        return;
    state.logging = false;
    chkLogErrors->setChecked(false);
    const QString why = QStringLiteral("Logging stopped: %1").arg(state.logFileNo->errorString());
    note(why);
    showCondition(QStringLiteral("log"), why);
}
