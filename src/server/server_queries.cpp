#include "capture/VFW.h"
#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "measure/AIP.h"
#include "platform/capture/raw_frame.h"
#include "platform/telescope/indi_address.h"
#include "server/exposure_choices.h"
#include "server/server_link.h"
#include "settings/setting_keys.h"

#include <QJsonArray>
#include <QTimer>
#include <algorithm>
#include <cmath>

bool ServerLink::cameraConnected() const {
    return e_.cameraConnected();
}

// The relay box is always ready; a telescope when this program last connected it.
bool ServerLink::mountReady() const {
    const MainState& s = e_.state;
    return s.modeParallel || (s.modeAscom && s.telescope && e_.telescopeMarked());
}

QString ServerLink::mountName() const {
    return e_.mountName();
}

// Equipment whose server went away is noticed now, not at the next look of the window's timer.
bool ServerLink::connected() {
    e_.checkEquipment();
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
    if (!connect) {
        stopCapture();
        e_.disconnectEquipment();
        return rpc::ok();
    }
    const QString why = e_.connectEquipment();
    return why.isEmpty() ? rpc::ok() : rpc::fail(rpc::Failed, why);
}

std::optional<double> ServerLink::pixelScale() {
    const double scale = e_.state.arcsecPerPixelX;
    if (!(scale > 0) || scale == 1.0)
        return std::nullopt;
    return scale;
}

int ServerLink::exposureMs() {
    return static_cast<int>(std::lround(e_.state.nextExposureSec * 1000.0f));
}

QList<int> ServerLink::exposureDurationsMs() {
    const CaptureWindow* camera = e_.state.hCapWnd.get();
    return exposureChoicesMs(camera ? camera->exposureRange() : std::nullopt);
}

// One of the lengths offered, and no other.
rpc::Reply ServerLink::setExposure(int ms) {
    if (!exposureDurationsMs().contains(ms))
        return rpc::fail(rpc::Failed, "could not set exposure duration");
    e_.setExposureMs(ms);
    return rpc::ok();
}

std::optional<QPointF> ServerLink::lockPosition() {
    if (!e_.state.locked)
        return std::nullopt;
    return QPointF(e_.state.targetX, e_.state.targetY);
}

// As Lock and a click there would; false when the search found no star.
bool ServerLink::lockAt(double x, double y) {
    return e_.lockAt(x, y);
}

rpc::Reply ServerLink::setLockPosition(double x, double y, bool exact) {
    const QSize frame = e_.frame().image().size();
    const bool inside = x >= 0 && y >= 0 && x < frame.width() && y < frame.height();
    const bool relock = !(exact && e_.state.locked);
    if (!inside || e_.state.focusing || (relock && !lockAt(x, y))) {
        sync();
        return rpc::fail(rpc::InvalidRequest, "could not set lock position");
    }
    if (exact)
        e_.moveTarget(static_cast<float>(x), static_cast<float>(y));
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
    if (!e_.state.locked || e_.state.lockLost)
        return rpc::fail(rpc::NoStar, "no star selected");
    const int half = std::min((size - 1) / 2, 31);
    const QPoint centre(static_cast<int>(std::floor(Globals::starX)),
                        static_cast<int>(std::floor(Globals::starY)));
    const QRect area = QRect(centre.x() - half, centre.y() - half, 2 * half + 1, 2 * half + 1)
                           .intersected(e_.frame().image().rect());
    if (area.isEmpty())
        return rpc::fail(rpc::NoStar, "no image available");
    const RawFrame* raw = e_.measuredRawFrame();
    QByteArray pixels;
    pixels.reserve(area.width() * area.height() * 2);
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const uint16_t v =
                raw ? raw->at(x, y)
                    : luminance(e_.frame().Point(static_cast<float>(x), static_cast<float>(y)));
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
    if (!capGetStatus(e_.state.hCapWnd.get(), status))
        return std::nullopt;
    return QSize(static_cast<int>(status.uiImageWidth), static_cast<int>(status.uiImageHeight));
}

QString ServerLink::decGuideMode() {
    return e_.state.decCorrect ? decGuideModeText(e_.decGuideMode()) : QStringLiteral("Off");
}

// "Off" turns Dec corrections off; the other modes turn them on, both ways or one way only.
rpc::Reply ServerLink::setDecGuideMode(const QString& mode) {
    const bool off = mode.compare("Off", Qt::CaseInsensitive) == 0;
    const DecGuideMode chosen = decGuideModeFrom(mode);
    if (!off && chosen == DecGuideMode::Auto && mode.compare("Auto", Qt::CaseInsensitive) != 0)
        return rpc::fail(rpc::Failed, "invalid dec guide mode param");
    e_.state.decCorrect = !off;
    e_.saveSetting(keys::DecCorrect.section, keys::DecCorrect.key,
                   off ? QStringLiteral("0") : QStringLiteral("1"));
    if (!off)
        e_.setDecGuideMode(chosen);
    return rpc::ok();
}

QStringList ServerLink::algoParamNames(bool dec) {
    QStringList names;
    for (const LawParam& p : e_.law(dec).params())
        names << p.name;
    return names;
}

rpc::Reply ServerLink::algoParam(bool dec, const QString& name) {
    const GuideLaw& law = e_.law(dec);
    if (name == QLatin1String("algorithmName"))
        return rpc::ok(law.name());
    for (const LawParam& p : law.params())
        if (p.name == name)
            return rpc::ok(p.value);
    return rpc::fail(rpc::Failed, "could not get param");
}

rpc::Reply ServerLink::setAlgoParam(bool dec, const QString& name, const QJsonValue& value) {
    if (name == QLatin1String("algorithmName"))
        return e_.chooseLaw(dec, value.toString())
                   ? rpc::ok()
                   : rpc::fail(rpc::Failed, QStringLiteral("unknown guide law; one of: ") +
                                                guideLawNames().join(QStringLiteral(", ")));
    return e_.setLawParam(dec, name, value.toDouble())
               ? rpc::ok()
               : rpc::fail(rpc::Failed, "could not set param");
}

// A camera by its device name where it has one (an INDI camera), else by its menu caption.
QJsonObject ServerLink::equipment() {
    e_.checkEquipment();
    const QString camera = e_.cameraName();
    return QJsonObject{{"camera", QJsonObject{{"name", camera}, {"connected", cameraConnected()}}},
                       {"mount", QJsonObject{{"name", mountName()}, {"connected", mountReady()}}}};
}

// After the answer has gone out.
void ServerLink::shutdown() {
    QTimer::singleShot(0, this, [this] { emit shutdownRequested(); });
}

std::vector<Profile> ServerLink::profiles() {
    return e_.profiles();
}

Profile ServerLink::profile() {
    return e_.currentProfile();
}

// An unknown id gets the protocol's own answer; any other refusal is the engine's reason.
rpc::Reply ServerLink::setProfile(int id) {
    const std::vector<Profile> sets = e_.profiles();
    if (std::none_of(sets.begin(), sets.end(), [id](const Profile& p) { return p.id == id; }))
        return rpc::fail(rpc::Failed, "invalid profile id");
    const QString why = e_.switchProfile(id);
    return why.isEmpty() ? rpc::ok() : rpc::fail(rpc::Failed, why);
}
