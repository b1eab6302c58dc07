#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/VFW.h"
#include "darks/frmDarks.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

QAction* frmMain::driverMenuEntry(int index) {
    while (mnuDriver.size() <= index)
        mnuDriver.append(nullptr);
    if (!mnuDriver[index]) {
        QAction* entry = mnuCamera->addAction(QString());
        entry->setCheckable(true);
        connect(entry, &QAction::triggered, this, [this, index] { mnuDriver_Click(index); });
        mnuDriver[index] = entry;
    }
    return mnuDriver[index];
}

void frmMain::mnuDriver_Click(int index) {
    engine_.connectCamera(index);
}

// An entry for every driver that answered, the connected one checked, the driver's dialogs
// offered as it says.
void frmMain::showCameraMenu() {
    const QStringList& captions = engine_.driverCaptions();
    for (int index = 0; index < captions.size(); ++index)
        if (!captions[index].isEmpty())
            driverMenuEntry(index)->setText(captions[index]);
    for (int index = 0; index < mnuDriver.size(); ++index)
        if (mnuDriver[index])
            mnuDriver[index]->setChecked(index == engine_.checkedDriver());
    if (engine_.checkedDriver() < 0)
        return;
    const CAPDRIVERCAPS& caps = engine_.cameraCaps();
    mnuSource->setEnabled(caps.fHasDlgVideoSource);
    mnuFormat->setEnabled(caps.fHasDlgVideoFormat);
    mnuDisplay->setEnabled(caps.fHasDlgVideoDisplay);
    mnuOverlay->setEnabled(caps.fHasOverlay);
}

void frmMain::mnuSource_Click() {
    capDlgVideoSource(state.focusing ? state.hFocusWnd.get() : state.hCapWnd.get());
    if (!state.focusing)
        engine_.cameraSourceChanged();
}

void frmMain::connectDarkMenu() {
    connect(mnuTakeDarks, &QAction::triggered, this, &frmMain::mnuTakeDarks_Click);
    connect(mnuUseDarks, &QAction::triggered, this, [this](bool on) { engine_.setUseDarks(on); });
    connect(mnuUseBadPixelMap, &QAction::triggered, this,
            [this](bool on) { engine_.setUseBadPixelMap(on); });
    connect(&engine_, &GuideEngine::changed, this, [this] {
        mnuUseDarks->setChecked(engine_.darkStage().useDarks());
        mnuUseBadPixelMap->setChecked(engine_.darkStage().useBadPixelMap());
    });
}

void frmMain::mnuTakeDarks_Click() {
    if (!darksWindow_)
        darksWindow_ = new frmDarks(engine_, this);
    darksWindow_->show();
    darksWindow_->raise();
}

void frmMain::mnuFormat_Click() {
    if (state.focusing) {
        capDlgVideoFormat(state.hFocusWnd.get());
        return;
    }
    capDlgVideoFormat(state.hCapWnd.get());
    engine_.cameraFormatChanged();
}

namespace {
constexpr int kFocusPreviewMs = 66;
const QSize kFocusWindowSize(630, 470);
} // namespace

void frmMain::setDriverEntriesEnabled(bool enabled) {
    for (int i = 0; i < state.driverCount && i < mnuDriver.size(); ++i)
        if (mnuDriver[i])
            mnuDriver[i]->setEnabled(enabled);
}

// Focus replaces the exposure loop by a fast live preview in its own capture window in the
// picture's place; guiding, the lock and the loop are switched off first, in that order.
void frmMain::cmdFocus_Click() {
    if (state.focusing) {
        setButtonColour(cmdFocus, Colour::Red);
        capDriverDisconnect(state.hFocusWnd.get());
        state.hFocusWnd.reset();
        picFrame->show();
        setDriverEntriesEnabled(true);
        state.focusing = false;
        engine_.connectCamera(state.driverIndex);
        return;
    }
    setButtonColour(cmdFocus, Colour::Green);
    const EngineChange change(engine_);
    engine_.stopCalibration();
    if (state.guiding)
        engine_.toggleGuide();
    if (state.locked || state.lockArmed)
        engine_.toggleLock();
    if (state.previewing)
        engine_.toggleLoop();
    const QRect place(picFrame->mapTo(picPlace, QPoint(0, 0)),
                      kFocusWindowSize.boundedTo(picFrame->size()));
    picFrame->hide();
    capDriverDisconnect(state.hCapWnd.get());
    setDriverEntriesEnabled(false);
    state.hFocusWnd = std::make_shared<CaptureWindow>(*platform().capture, engine_.frameSlot(),
                                                      picPlace, true, place);
    if (engine_.connectCaptureWindow(state.hFocusWnd.get(), state.driverIndex)) {
        capPreviewRate(state.hFocusWnd.get(), kFocusPreviewMs);
        capPreview(state.hFocusWnd.get(), true);
        state.focusing = true;
        return;
    }
    engine_.reportConnectFailure(*state.hFocusWnd);
}
