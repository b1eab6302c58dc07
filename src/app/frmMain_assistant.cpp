#include "app/dialog_place.h"
#include "app/frmMain.h"
#include "guiding/frmAssistant.h"
#include "guiding/frmCalibration.h"

#include <QAction>
#include <QMenu>

void frmMain::buildAssistantMenu() {
    mnuGuidingAssistant = mnuGuiding->addAction(QStringLiteral("Guiding Assistant..."));
    connect(mnuGuidingAssistant, &QAction::triggered, this, &frmMain::mnuGuidingAssistant_Click);
    // A backlash the assistant measured shows in the calibration window too.
    connect(&engine_, &GuideEngine::assistantDone, this, [this] {
        if (calibrationWindow_)
            calibrationWindow_->showBacklash(engine_.measuredDecBacklash());
    });
}

void frmMain::mnuGuidingAssistant_Click() {
    if (!assistantWindow_) {
        assistantWindow_ = new frmAssistant(engine_, this);
        placeDialog(*assistantWindow_, *this);
    }
    assistantWindow_->show();
    assistantWindow_->raise();
}
