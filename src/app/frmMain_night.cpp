#include "app/button_colour.h"
#include "app/conditions_panel.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "app/next_step.h"
#include "app/night_mode.h"
#include "app/picture_pane.h"
#include "graph/guide_panel.h"
#include "guiding/frmCalibration.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QApplication>
#include <QMenu>

void frmMain::buildNightMenu() {
    mnuView->addSeparator();
    mnuNightMode = mnuView->addAction(QStringLiteral("Night Mode"));
    mnuNightMode->setCheckable(true);
    mnuNightMode->setToolTip(QStringLiteral("Dark red on black, to keep your eyes used to the "
                                            "dark"));
    connect(mnuNightMode, &QAction::triggered, this, &frmMain::mnuNightMode_Click);
}

void frmMain::mnuNightMode_Click() {
    const bool on = mnuNightMode->isChecked();
    setNightMode(on);
    engine_.saveSetting(keys::ViewNightMode.section, keys::ViewNightMode.key,
                        on ? QStringLiteral("1") : QStringLiteral("0"));
}

// Every window of the program, the picture (as a view: the frame measured stays as it is) and
// the graph; the buttons then tell their state by a sign as well.
void frmMain::setNightMode(bool on) {
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        applyNightMode(*app, on);
    setNightButtons(on);
    for (QWidget* window : QApplication::topLevelWidgets())
        restyleButtons(window);
    picFrame->setNightView(on);
    guidePanel->setNight(on);
    picturePane->setHintNight(on);
    conditionsPanel->setNight(on);
    if (calibrationWindow_)
        calibrationWindow_->picPath->setNight(on);
}

void frmMain::showNextStep() {
    NextStepState s;
    s.previewing = state.previewing;
    s.focusing = state.focusing;
    s.lockArmed = state.lockArmed;
    s.locked = state.locked;
    s.lockLost = state.lockLost;
    s.guiding = state.guiding;
    s.calibrating = engine_.calibrating();
    s.calibrationReady = engine_.usingCalibration() && engine_.calibration().has_value();
    picturePane->setHint(nextStepHint(s));
}

void frmMain::conditionActed(const QString& action) {
    if (action == QLatin1String("calibrate"))
        mnuCalibrate->trigger();
    else if (action == QLatin1String("connect telescope") && !mnuTelescopeConnected->isChecked())
        mnuTelescopeConnected->trigger();
    else if (action == QLatin1String("retry equipment"))
        engine_.retryLostEquipment();
}
