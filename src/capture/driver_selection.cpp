#include "app/button_colour.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/CapApp.h"
#include "capture/VFW.h"
#include "capture/driver_restore.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTimer>

namespace {
// The grab window is never shown; it only carries frames.
const QRect kGrabWindow(0, 0, 640, 480);
} // namespace

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

void frmMain::detectCaptureHardware() {
    state.driverCount = fillDriverMenu(*this);
    if (state.driverCount == 0)
        platform_.messages->show(QStringLiteral("No capture hardware detected"),
                                 MessageIcon::Critical);
}

// Disconnects the current grab window and connects driver `index` (or 0 when no such entry
// exists) to a new one; the superseded window is released, closing its device.
void frmMain::mnuDriver_Click(int index) {
    // A length an imaging program set for the previous camera may be one this one cannot take.
    if (!lblExposureSet->isHidden())
        sldExposure_Change();
    capDriverDisconnect(state.hCapWnd.get());
    for (int i = 0; i < state.driverCount && i < mnuDriver.size(); ++i)
        if (mnuDriver[i])
            mnuDriver[i]->setChecked(false);
    state.driverIndex = static_cast<int16_t>(index <= mnuDriver.size() - 1 ? index : 0);
    state.hCapWnd =
        std::make_shared<CaptureWindow>(*platform_.capture, clipboard_, this, false, kGrabWindow);
    cameraSwitchedOff_ = false;
    if (connectDriver(*this, state.hCapWnd.get(), state.driverIndex)) {
        if (QAction* entry = mnuDriver.value(state.driverIndex))
            entry->setChecked(true);
        saveSetting(keys::DriverIndex.section, keys::DriverIndex.key, fromWhole(state.driverIndex));
        saveDriverName();
        return;
    }
    state.previewing = false;
    setButtonColour(cmdPreview, Colour::Red);
    HalfSecTimer->stop();
    cancelPulseWait();
    lblLX->setText(QString::number(sldExposure->value()));
    ExposureProgress->setValue(0);
    reportConnectFailure(*state.hCapWnd);
}

// The caption of the connected driver goes with its index, so that start-up finds it again in a
// list that has changed.
void frmMain::saveDriverName() {
    const QAction* entry = mnuDriver.value(state.driverIndex);
    if (entry && platform_.store->readSetting(keys::DriverName.section, keys::DriverName.key,
                                              QString()) != entry->text())
        saveSetting(keys::DriverName.section, keys::DriverName.key, entry->text());
}

// Files from before "DriverName" hold the caption of an INDI camera under the older key.
QString frmMain::savedDriverName() const {
    const QString name =
        platform_.store->readSetting(keys::DriverName.section, keys::DriverName.key, QString());
    return !name.isEmpty() ? name
                           : platform_.store->readSetting(keys::DriverCaption.section,
                                                          keys::DriverCaption.key, QString());
}

// The saved driver, found by its caption when the list has changed since.
void frmMain::restoreCaptureDriver() {
    QStringList captions;
    for (int i = 0; i < state.driverCount && i < mnuDriver.size(); ++i)
        captions.append(mnuDriver[i] ? mnuDriver[i]->text() : QString());
    const DriverRestore restore =
        restoreDriverIndex(captions, state.driverIndex, savedDriverName());
    if (!restore.note.isEmpty())
        note(restore.note);
    if (restore.index >= 0)
        mnuDriver_Click(restore.index);
}

void frmMain::reportConnectFailure(const CaptureWindow& window) {
    if (const QString why = window.lastError(); !why.isEmpty())
        note(why);
    platform_.messages->show(QStringLiteral("Could not connect capture driver"),
                             MessageIcon::Critical);
}

// A camera switched off in its own dialog stays off: it is not connected again by itself.
void frmMain::mnuSource_Click() {
    capDlgVideoSource(state.focusing ? state.hFocusWnd.get() : state.hCapWnd.get());
    if (!state.focusing && state.hCapWnd && state.hCapWnd->reconnectable())
        cameraSwitchedOff_ = !state.hCapWnd->isConnected();
}

// A new frame size moves every pixel position, so the reference mark is dropped.
void frmMain::mnuFormat_Click() {
    if (state.focusing) {
        capDlgVideoFormat(state.hFocusWnd.get());
        return;
    }
    capDlgVideoFormat(state.hCapWnd.get());
    CAPSTATUS status;
    capGetStatus(state.hCapWnd.get(), status);
    const auto width = static_cast<int32_t>(status.uiImageWidth);
    const auto height = static_cast<int32_t>(status.uiImageHeight);
    if (width != state.frameWidth || height != state.frameHeight)
        state.markShown = false;
    state.frameWidth = width;
    state.frameHeight = height;
}

// A camera that gives no frame (and says why) leaves a lasting condition until the next frame.
void frmMain::transferFrame() {
    if (capGrabFrame(state.hCapWnd.get()))
        clearCondition(QStringLiteral("frame"));
    else if (state.hCapWnd && !state.hCapWnd->lastError().isEmpty())
        showCondition(QStringLiteral("frame"),
                      QStringLiteral("No frame: %1").arg(state.hCapWnd->lastError()));
    capEditCopy(state.hCapWnd.get());
    picFrame->setImage(clipboard_.image(picFrame->image().size()));
}
