#include "capture/VFW.h"
#include "capture/driver_restore.h"
#include "engine/guide_engine.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

namespace {
constexpr int kDriverIndices = 9;
// The grab window is never shown; it only carries frames.
const QRect kGrabWindow(0, 0, 640, 480);
constexpr int kPreviewRateMs = 66;
} // namespace

// Index 0 keeps its "<none>" caption when no driver answers there.
void GuideEngine::detectCameras() {
    int count = 0;
    for (int index = 0; index < kDriverIndices; ++index) {
        QString name, version;
        if (!platform_.capture->description(index, name, version))
            continue;
        while (driverCaptions_.size() <= index)
            driverCaptions_.append(QString());
        driverCaptions_[index] = name + u' ' + version;
        ++count;
    }
    state.driverCount = count;
    emit cameraChanged();
    if (count == 0)
        platform_.messages->show(QStringLiteral("No capture hardware detected"),
                                 MessageIcon::Critical);
}

bool GuideEngine::connectCaptureWindow(CaptureWindow* window, int index) {
    if (!capDriverConnect(window, index))
        return false;
    CAPDRIVERCAPS caps;
    if (capDriverGetCaps(window, caps)) {
        cameraCaps_ = caps;
        checkedDriver_ = index;
        emit cameraChanged();
    }
    capPreviewRate(window, kPreviewRateMs);
    return true;
}

// Disconnects the current grab window and connects driver `index` (or 0 when no such entry
// exists) to a new one; the superseded window is released, closing its device.
bool GuideEngine::connectCamera(int index) {
    const EngineChange change(*this);
    // A length an imaging program set for the previous camera may be one this one cannot take.
    if (exposureSetSec_ > 0)
        setSliderExposure(sliderExposureSec_);
    capDriverDisconnect(state.hCapWnd.get());
    checkedDriver_ = -1;
    state.driverIndex = static_cast<int16_t>(index <= driverCaptions_.size() - 1 ? index : 0);
    state.hCapWnd = std::make_shared<CaptureWindow>(*platform_.capture, clipboard_, dialogParent_,
                                                    false, kGrabWindow);
    cameraSwitchedOff_ = false;
    if (connectCaptureWindow(state.hCapWnd.get(), state.driverIndex)) {
        checkedDriver_ = state.driverIndex;
        emit cameraChanged();
        saveSetting(keys::DriverIndex.section, keys::DriverIndex.key, fromWhole(state.driverIndex));
        saveDriverName();
        return true;
    }
    emit cameraChanged();
    state.previewing = false;
    exposureTimer_.stop();
    cancelPulseWait();
    emit exposureLengthShown(sliderExposureSec_);
    emit progressChanged(0, progressMaxSec_);
    reportConnectFailure(*state.hCapWnd);
    return false;
}

// Connects the camera driver of the current window again; false when it did not.
bool GuideEngine::reconnectCamera() {
    return connectCaptureWindow(state.hCapWnd.get(), state.driverIndex);
}

void GuideEngine::reportConnectFailure(const CaptureWindow& window) {
    if (const QString why = window.lastError(); !why.isEmpty())
        note(why);
    platform_.messages->show(QStringLiteral("Could not connect capture driver"),
                             MessageIcon::Critical);
}

// The caption of the connected driver goes with its index, so that start-up finds it again in a
// list that has changed.
void GuideEngine::saveDriverName() {
    const QString caption = driverCaptions_.value(state.driverIndex);
    if (!caption.isEmpty() &&
        platform_.store->readSetting(keys::DriverName.section, keys::DriverName.key, QString()) !=
            caption)
        saveSetting(keys::DriverName.section, keys::DriverName.key, caption);
}

// Files from before "DriverName" hold the caption of an INDI camera under the older key.
QString GuideEngine::savedDriverName() const {
    const QString name =
        platform_.store->readSetting(keys::DriverName.section, keys::DriverName.key, QString());
    return !name.isEmpty() ? name
                           : platform_.store->readSetting(keys::DriverCaption.section,
                                                          keys::DriverCaption.key, QString());
}

// The saved driver, found by its caption when the list has changed since.
void GuideEngine::restoreCamera() {
    const DriverRestore restore = restoreDriverIndex(driverCaptions_.mid(0, state.driverCount),
                                                     state.driverIndex, savedDriverName());
    if (!restore.note.isEmpty())
        note(restore.note);
    if (restore.index >= 0)
        connectCamera(restore.index);
}

// The driver's own word: a camera whose server went away is not connected.
bool GuideEngine::cameraConnected() const {
    return state.hCapWnd && state.hCapWnd->isConnected();
}

// A camera by its device name where it has one (an INDI camera), else by its caption.
QString GuideEngine::cameraName() const {
    QString camera = state.hCapWnd ? state.hCapWnd->deviceName() : QString();
    if (camera.isEmpty())
        camera = driverCaptions_.value(state.driverIndex);
    if (camera.isEmpty())
        camera = QStringLiteral("<none>");
    return camera;
}

// A camera switched off in its own dialog stays off: it is not connected again by itself.
void GuideEngine::cameraSourceChanged() {
    if (state.hCapWnd && state.hCapWnd->reconnectable())
        cameraSwitchedOff_ = !state.hCapWnd->isConnected();
}

// A new frame size moves every pixel position, so the reference mark is dropped.
void GuideEngine::cameraFormatChanged() {
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
void GuideEngine::transferFrame() {
    if (capGrabFrame(state.hCapWnd.get()))
        clearCondition(QStringLiteral("frame"));
    else if (state.hCapWnd && !state.hCapWnd->lastError().isEmpty())
        showCondition(QStringLiteral("frame"),
                      QStringLiteral("No frame: %1").arg(state.hCapWnd->lastError()));
    capEditCopy(state.hCapWnd.get());
    if (!darkRun_)
        correctFrame();
    frame_.setImage(clipboard_.image(frame_.image().size()));
    emit frameShown();
}
