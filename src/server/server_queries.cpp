#include "app/Globals.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "capture/CapApp.h"
#include "capture/VFW.h"
#include "measure/AIP.h"
#include "platform/capture/raw_frame.h"
#include "platform/telescope/indi_address.h"
#include "server/exposure_choices.h"
#include "server/server_link.h"
#include "settings/setting_keys.h"

#include <QAction>
#include <QJsonArray>
#include <QTimer>
#include <cmath>

// The driver's own word: a camera whose server went away is not connected.
bool ServerLink::cameraConnected() const {
    return w_.state.hCapWnd && w_.state.hCapWnd->isConnected();
}

// The relay box is always ready; a telescope when the window last connected it.
bool ServerLink::mountReady() const {
    const MainState& s = w_.state;
    return s.modeParallel || (s.modeAscom && s.telescope && w_.mnuTelescopeConnected->isChecked());
}

// A mount on an INDI server by its device name there, as imaging programs know it.
QString ServerLink::mountName() const {
    if (w_.state.modeParallel)
        return QStringLiteral("Parallel relay box");
    if (!w_.state.modeAscom || !w_.state.telescope)
        return QStringLiteral("<none>");
    const QString identifier = w_.mnuScope->text().remove(QStringLiteral("Scope->"));
    const std::optional<IndiAddress> indi = parseIndiIdentifier(identifier);
    return indi ? indi->device : identifier;
}

// Equipment whose server went away is noticed now, not at the next look of the window's timer.
bool ServerLink::connected() {
    w_.checkEquipment();
    return cameraConnected() && mountReady();
}

// A mount that became ready is announced with its calibration before the answer.
rpc::Reply ServerLink::setConnected(bool connect) {
    const rpc::Reply reply = changeConnection(connect);
    sync();
    return reply;
}

// Connects what is not connected: the capture driver of the Camera menu, and the chosen
// telescope as Telescope > Connected does, without its message boxes; what fails is said.
rpc::Reply ServerLink::changeConnection(bool connect) {
    MainState& s = w_.state;
    if (!connect) {
        stopCapture();
        // A mount whose server went away is let go too: no more attempts.
        if (s.telescope && (w_.mnuTelescopeConnected->isChecked() ||
                            w_.reconnector_.gone(QStringLiteral("mount")))) {
            w_.disconnectDriver();
            w_.mnuTelescopeConnected->setChecked(false);
        }
        capDriverDisconnect(s.hCapWnd.get());
        return rpc::ok();
    }
    // Equipment that went away (or was switched off) is connected anew as it was, the camera by
    // its own driver.
    w_.cameraSwitchedOff_ = false;
    w_.retryLostEquipment();
    if (!cameraConnected() && w_.reconnector_.gone(QStringLiteral("camera")))
        return rpc::fail(
            rpc::Failed,
            QStringLiteral("the camera did not connect: %1").arg(s.hCapWnd->lastError()));
    if (!cameraConnected() && !connectDriver(w_, s.hCapWnd.get(), s.driverIndex))
        return rpc::fail(rpc::Failed, "the camera did not connect: choose one in the Camera menu");
    if (s.modeSerial)
        return rpc::fail(rpc::Failed, "the Serial guide output sends no corrections: choose "
                                      "ASCOM or Parallel in the Guiding menu");
    if (s.modeAscom && !s.telescope)
        return rpc::fail(rpc::Failed, "no telescope chosen: use Telescope > Choose Telescope...");
    if (s.modeAscom && !w_.mnuTelescopeConnected->isChecked()) {
        if (const auto why = w_.connectChosenTelescope()) {
            w_.note(QStringLiteral("Telescope: %1").arg(*why));
            return rpc::fail(rpc::Failed,
                             QStringLiteral("the telescope did not connect: %1").arg(*why));
        }
    }
    return rpc::ok();
}

std::optional<double> ServerLink::pixelScale() {
    const double scale = w_.state.arcsecPerPixelX;
    if (!(scale > 0) || scale == 1.0)
        return std::nullopt;
    return scale;
}

int ServerLink::exposureMs() {
    return static_cast<int>(std::lround(w_.state.nextExposureSec * 1000.0f));
}

QList<int> ServerLink::exposureDurationsMs() {
    const CaptureWindow* camera = w_.state.hCapWnd.get();
    return exposureChoicesMs(camera ? camera->exposureRange() : std::nullopt);
}

// One of the lengths offered, and no other.
rpc::Reply ServerLink::setExposure(int ms) {
    if (!exposureDurationsMs().contains(ms))
        return rpc::fail(rpc::Failed, "could not set exposure duration");
    w_.setExposureMs(ms);
    return rpc::ok();
}

std::optional<QPointF> ServerLink::lockPosition() {
    if (!w_.state.locked)
        return std::nullopt;
    return QPointF(w_.state.targetX, w_.state.targetY);
}

// As Lock and a click there would; false when the search found no star.
bool ServerLink::lockAt(double x, double y) {
    if (w_.state.lockArmed || w_.state.locked)
        w_.cmdLock_Click();
    w_.cmdLock_Click();
    w_.picFrame_MouseUp(1, static_cast<float>(x), static_cast<float>(y));
    if (Globals::starX <= 0 && Globals::starY <= 0) {
        w_.cmdLock_Click();
        return false;
    }
    return true;
}

rpc::Reply ServerLink::setLockPosition(double x, double y, bool exact) {
    const QSize frame = w_.picFrame->image().size();
    const bool inside = x >= 0 && y >= 0 && x < frame.width() && y < frame.height();
    const bool relock = !(exact && w_.state.locked);
    if (!inside || w_.state.focusing || (relock && !lockAt(x, y))) {
        sync();
        return rpc::fail(rpc::InvalidRequest, "could not set lock position");
    }
    if (exact) {
        w_.state.targetX = static_cast<float>(x);
        w_.state.targetY = static_cast<float>(y);
    }
    if (relock)
        syncSelection();
    else
        sync();
    return rpc::ok();
}

// The square around the locked star at the camera's own depth (0..65535 for a 16-bit INDI
// camera) when the shown frame has one of the same size, else as the search sees it (luminance
// 0..255); little-endian 16-bit values, row by row.
rpc::Reply ServerLink::starImage(int size) {
    // A lost star has no place to cut the square around.
    if (!w_.state.locked || w_.state.lockLost)
        return rpc::fail(rpc::NoStar, "no star selected");
    const int half = std::min((size - 1) / 2, 31);
    const QPoint centre(static_cast<int>(std::floor(Globals::starX)),
                        static_cast<int>(std::floor(Globals::starY)));
    const QRect area = QRect(centre.x() - half, centre.y() - half, 2 * half + 1, 2 * half + 1)
                           .intersected(w_.picFrame->image().rect());
    if (area.isEmpty())
        return rpc::fail(rpc::NoStar, "no image available");
    const RawFrame* raw = w_.measuredRawFrame();
    QByteArray pixels;
    pixels.reserve(area.width() * area.height() * 2);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const uint16_t v =
                raw ? raw->at(x, y)
                    : luminance(w_.picFrame->Point(static_cast<float>(x), static_cast<float>(y)));
            pixels.append(static_cast<char>(v & 0xff));
            pixels.append(static_cast<char>(v >> 8));
        }
    return rpc::ok(QJsonObject{
        {"frame", frame_},
        {"width", area.width()},
        {"height", area.height()},
        {"star_pos", QJsonArray{Globals::starX - area.left(), Globals::starY - area.top()}},
        {"pixels", QString::fromLatin1(pixels.toBase64())}});
}

std::optional<QSize> ServerLink::frameSize() {
    CAPSTATUS status;
    if (!capGetStatus(w_.state.hCapWnd.get(), status))
        return std::nullopt;
    return QSize(static_cast<int>(status.uiImageWidth), static_cast<int>(status.uiImageHeight));
}

QString ServerLink::decGuideMode() {
    return w_.state.decCorrect ? QStringLiteral("Auto") : QStringLiteral("Off");
}

// Dec is corrected both ways or not at all ("Dec Correct").
rpc::Reply ServerLink::setDecGuideMode(const QString& mode) {
    if (mode.compare("North", Qt::CaseInsensitive) == 0 ||
        mode.compare("South", Qt::CaseInsensitive) == 0)
        return rpc::fail(rpc::Failed, "Orvalis corrects Dec both ways or not at all: Off or Auto");
    const bool off = mode.compare("Off", Qt::CaseInsensitive) == 0;
    if (!off && mode.compare("Auto", Qt::CaseInsensitive) != 0)
        return rpc::fail(rpc::Failed, "invalid dec guide mode param");
    w_.state.decCorrect = !off;
    w_.saveSetting(keys::DecCorrect.section, keys::DecCorrect.key,
                   off ? QStringLiteral("0") : QStringLiteral("1"));
    return rpc::ok();
}

// A camera by its device name where it has one (an INDI camera), else by its menu caption.
QJsonObject ServerLink::equipment() {
    w_.checkEquipment();
    const QAction* entry = w_.mnuDriver.value(w_.state.driverIndex);
    QString camera = w_.state.hCapWnd ? w_.state.hCapWnd->deviceName() : QString();
    if (camera.isEmpty())
        camera = entry ? entry->text() : QStringLiteral("<none>");
    return QJsonObject{{"camera", QJsonObject{{"name", camera}, {"connected", cameraConnected()}}},
                       {"mount", QJsonObject{{"name", mountName()}, {"connected", mountReady()}}}};
}

// After the answer has gone out.
void ServerLink::shutdown() {
    QTimer::singleShot(0, &w_, [this] { w_.close(); });
}
