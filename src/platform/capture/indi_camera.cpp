#include "platform/capture/indi_camera.h"

#include "platform/capture/fits_decode.h"
#include "platform/capture/indi_frame_settings.h"
#include "platform/telescope/indi_connection.h"
#include "platform/telescope/indi_device_wait.h"
#include "platform/telescope/indi_server_health.h"

#include <algorithm>
#include <cmath>

namespace {
const QString connectionName = QStringLiteral("CONNECTION");
// After CONNECTION turns on, a driver defines the connected device's properties; they count as
// complete when none has come for this long.
constexpr int settleQuietMs = 200;

int millisecondsUntil(std::chrono::steady_clock::time_point t) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(t - std::chrono::steady_clock::now());
    return int(std::max<long long>(0, left.count()));
}

const IndiElement* blobElement(const IndiVector& v) {
    for (const IndiElement& e : v.elements)
        if (!e.blob.isEmpty())
            return &e;
    return nullptr;
}
} // namespace

IndiCamera::IndiCamera(IndiAddress address, IndiCameraTimeouts timeouts, IndiChipChoice choice)
    : address_(std::move(address)), timeouts_(timeouts), choice_(choice) {}

IndiCamera::~IndiCamera() {
    disconnect();
}

bool IndiCamera::connect() {
    if (!indiServerHealth().answers(address_))
        return fail(indiServerHealth().reason(address_));
    if (connected())
        return true;
    // A failed attempt forgets what the link had heard: the settings stay from the last link.
    const IndiChip* keptChip = chip_;
    if (std::vector<IndiVector> heard = keptIndiNumbers(
            client_, address_.device,
            {QString::fromLatin1(chip_->binning), QString::fromLatin1(chip_->frame)});
        !heard.empty())
        frameSettings_ = std::move(heard);
    if (!openLink() || (!connectionOn() && !switchConnection(true))) {
        client_.disconnectServer();
        return false;
    }
    if (!findChip()) {
        const QString why = error_;
        disconnect();
        return fail(why);
    }
    if (chip_ == keptChip)
        restoreIndiNumbers(client_, frameSettings_, timeouts_.callMs);
    client_.enableBlobs(address_.device, QString::fromLatin1(chip_->blob));
    prepareUploads();
    open_ = true;
    exposure_ = Exposure::None;
    staleFrameRisk_ = false; // a new link carries no frame of an earlier one
    error_.clear();
    return true;
}

// Waits for the connected device's chips to be defined and picks the chosen one.
bool IndiCamera::findChip() {
    const QString main = QString::fromLatin1(indiMainChip.exposure);
    const QString guide = QString::fromLatin1(indiGuideChip.exposure);
    client_.waitForDefinitions(
        [&](const IndiSnapshot& s) {
            return s.property(address_.device, main) || s.property(address_.device, guide);
        },
        settleQuietMs, timeouts_.callMs);
    bool hasMain = false, hasGuide = false;
    client_.read([&](const IndiSnapshot& s) {
        hasMain = s.property(address_.device, main);
        hasGuide = s.property(address_.device, guide);
    });
    if (choice_ == IndiChipChoice::Guide && !hasGuide)
        return fail(QStringLiteral("\"%1\" on the INDI server at %2 offers no guide chip")
                        .arg(address_.device, server()));
    if (!hasMain && !hasGuide)
        return fail(QStringLiteral("\"%1\" on the INDI server at %2 offers no image stream")
                        .arg(address_.device, server()));
    chip_ = hasMain && choice_ == IndiChipChoice::Main ? &indiMainChip : &indiGuideChip;
    return true;
}

void IndiCamera::disconnect() {
    if (client_.linkUp() && !indiServerHealth().unresponsive(address_)) {
        if (exposure_ == Exposure::Running)
            abortExposure();
        if (switchedOn_ && connectionOn())
            switchConnection(false);
    }
    switchedOn_ = false;
    open_ = false;
    exposure_ = Exposure::None;
    client_.disconnectServer();
}

bool IndiCamera::connected() const {
    return open_ && client_.linkUp() && connectionOn() &&
           !indiServerHealth().unresponsive(address_);
}

QSize IndiCamera::frameSize() const {
    if (!open_)
        return {};
    QSize size;
    client_.read([&](const IndiSnapshot& s) {
        const IndiVector* frame = s.property(address_.device, QString::fromLatin1(chip_->frame));
        const IndiVector* bin = s.property(address_.device, QString::fromLatin1(chip_->binning));
        const IndiElement* w = frame ? frame->element(QStringLiteral("WIDTH")) : nullptr;
        const IndiElement* h = frame ? frame->element(QStringLiteral("HEIGHT")) : nullptr;
        if (!w || !h)
            return;
        const IndiElement* bx = bin ? bin->element(QStringLiteral("HOR_BIN")) : nullptr;
        const IndiElement* by = bin ? bin->element(QStringLiteral("VER_BIN")) : nullptr;
        const double binX = bx && bx->value >= 1 ? bx->value : 1;
        const double binY = by && by->value >= 1 ? by->value : 1;
        size = QSize(int(w->value / binX), int(h->value / binY));
    });
    return size;
}

void IndiCamera::startExposure(double seconds) {
    if (!indiServerHealth().answers(address_)) {
        frame_.reset();
        exposure_ = Exposure::Failed;
        exposureError_ = indiServerHealth().reason(address_);
        return;
    }
    if (exposure_ == Exposure::Running || staleFrameRisk_)
        abortExposure();
    frame_.reset();
    exposure_ = Exposure::Running;
    IndiVector request = vectorNamed(address_.device, chip_->exposure, IndiKind::Number);
    if (const std::optional<ExposureRange> limits = exposureLimits())
        seconds = std::clamp(seconds, limits->minSec, limits->maxSec);
    request.elements = {numberElement(chip_->exposureValue, seconds)};
    announced_ = frameSize();
    deadline_ = Clock::now() + std::chrono::milliseconds(qint64(std::ceil(seconds * 1000)) +
                                                         timeouts_.frameExtraMs);
    sentRevision_ = revisionNow();
    if (!open_ || !client_.send(request)) {
        exposure_ = Exposure::Failed;
        exposureError_ =
            open_ ? lostExposureLink() : QStringLiteral("The INDI camera is not connected");
    }
}

std::optional<ExposureRange> IndiCamera::exposureLimits() const {
    std::optional<ExposureRange> limits;
    client_.read([&](const IndiSnapshot& s) {
        const IndiVector* p = s.property(address_.device, QString::fromLatin1(chip_->exposure));
        const IndiElement* e = p ? p->element(QString::fromLatin1(chip_->exposureValue)) : nullptr;
        if (e && e->max > e->min)
            limits = ExposureRange{e->min, e->max};
    });
    return limits;
}

std::shared_ptr<const RawFrame> IndiCamera::takeFrame() {
    if (exposure_ == Exposure::Running && waitForFrame()) {
        exposure_ = Exposure::Delivered;
        staleFrameRisk_ = false;
    } else if (exposure_ == Exposure::Running) {
        exposure_ = Exposure::Failed;
    }
    switch (exposure_) {
    case Exposure::Delivered:
        error_.clear();
        return frame_;
    case Exposure::None:
        fail(QStringLiteral("No exposure has been started on \"%1\"").arg(address_.device));
        return nullptr;
    default:
        fail(exposureError_);
        return nullptr;
    }
}

// What has come for the exposure under way: its frame (a BLOB newer than the request), an
// Alert on the exposure, or the device's stream gone.
struct IndiCamera::FrameWatch {
    const IndiCamera& camera;
    QByteArray bytes;
    QString format;
    bool alert = false, gone = false;

    bool operator()(const IndiSnapshot& s) {
        const QString& device = camera.address_.device;
        const IndiVector* exposure =
            s.property(device, QString::fromLatin1(camera.chip_->exposure));
        const IndiVector* blob = s.property(device, QString::fromLatin1(camera.chip_->blob));
        gone = !exposure;
        alert = exposure && exposure->state == IndiState::Alert &&
                exposure->revision > camera.sentRevision_;
        const IndiElement* e =
            blob && blob->revision > camera.sentRevision_ ? blobElement(*blob) : nullptr;
        if (e) {
            bytes = e->blob;
            format = e->blobFormat;
        }
        return gone || alert || e;
    }
};

bool IndiCamera::frameDue() const {
    if (exposure_ != Exposure::Running || Clock::now() >= deadline_ || !client_.linkUp())
        return true;
    FrameWatch watch{*this, {}, {}};
    bool due = false;
    client_.read([&](const IndiSnapshot& s) { due = watch(s); });
    return due;
}

// Waits for the exposure's frame until its deadline; an Alert on the exposure, the device or
// its stream going away, or the link dropping end the wait early.
bool IndiCamera::waitForFrame() {
    FrameWatch watch{*this, {}, {}};
    const IndiClient::Wait result = client_.waitUntil(
        [&](const IndiSnapshot& s) { return watch(s); }, millisecondsUntil(deadline_));
    if (result == IndiClient::Wait::Met && !watch.bytes.isEmpty())
        return acceptFrame(watch.bytes, watch.format);
    staleFrameRisk_ = true;
    if (result == IndiClient::Wait::TimedOut &&
        !indiServerHealth().probeAfterWait(address_, indiLateServerMessage(server()))) {
        // The server hangs: later calls fail at once until it answers a probe again.
        exposureError_ = indiLateServerMessage(server());
    } else if (result == IndiClient::Wait::LinkLost)
        exposureError_ = lostExposureLink();
    else if (watch.gone)
        exposureError_ = QStringLiteral("The INDI camera \"%1\" is gone").arg(address_.device);
    else if (watch.alert)
        exposureError_ =
            QStringLiteral("The INDI camera \"%1\" reports a failed exposure").arg(address_.device);
    else
        exposureError_ = QStringLiteral("No frame from \"%1\" in time").arg(address_.device);
    return false;
}

QString IndiCamera::lostExposureLink() const {
    return QStringLiteral("Lost the connection to the INDI server at %1; choose \"%2\" in the "
                          "Camera menu to connect again")
        .arg(server(), address_.device);
}

bool IndiCamera::acceptFrame(const QByteArray& bytes, const QString& format) {
    auto frame = std::make_shared<RawFrame>();
    QString why;
    if (!decodeFits(bytes.constData(), size_t(bytes.size()), *frame, why)) {
        exposureError_ =
            QStringLiteral("Unusable frame (%1) from \"%2\": %3")
                .arg(format.isEmpty() ? QStringLiteral("no format") : format, address_.device, why);
        return false;
    }
    if (!announced_.isEmpty() && QSize(frame->width, frame->height) != announced_) {
        exposureError_ = QStringLiteral("\"%1\" sent a %2 x %3 frame instead of %4 x %5")
                             .arg(address_.device)
                             .arg(frame->width)
                             .arg(frame->height)
                             .arg(announced_.width())
                             .arg(announced_.height());
        return false;
    }
    frame_ = std::move(frame);
    return true;
}

bool IndiCamera::openLink() {
    if (!client_.connectServer(address_.host, address_.port, address_.device, timeouts_.connectMs))
        return fail(QStringLiteral("Cannot reach the INDI server at %1").arg(server()));
    const IndiDeviceWait found = waitForIndiDevice(client_, address_, timeouts_.connectMs);
    if (found == IndiDeviceWait::Found)
        return true;
    if (found == IndiDeviceWait::Silent) {
        indiServerHealth().timedOut(address_, indiSilentServerMessage(server()));
        return fail(indiSilentServerMessage(server()));
    }
    return fail(found == IndiDeviceWait::LinkLost
                    ? QStringLiteral("Lost the connection to the INDI server at %1").arg(server())
                    : QStringLiteral("The INDI server at %1 has no camera \"%2\"")
                          .arg(server(), address_.device));
}

bool IndiCamera::switchConnection(bool on) {
    const IndiSwitchOutcome outcome =
        switchIndiConnection(client_, address_.device, on, timeouts_.callMs);
    if (outcome == IndiSwitchOutcome::Done) {
        switchedOn_ = on;
        return true;
    }
    if (outcome == IndiSwitchOutcome::LinkLost)
        return fail(QStringLiteral("Lost the connection to the INDI server at %1").arg(server()));
    if (outcome == IndiSwitchOutcome::TimedOut)
        indiServerHealth().timedOut(address_, indiLateServerMessage(server()));
    return fail(
        QStringLiteral("\"%1\" could not %2")
            .arg(address_.device, on ? QStringLiteral("connect") : QStringLiteral("disconnect")));
}

bool IndiCamera::connectionOn() const {
    return indiConnectionOn(client_, address_.device);
}

// Frames reach a client only with UPLOAD_CLIENT or UPLOAD_BOTH, and only FITS is read here.
void IndiCamera::prepareUploads() {
    IndiVector upload, format;
    client_.read([&](const IndiSnapshot& s) {
        if (const IndiVector* p = s.property(address_.device, QStringLiteral("UPLOAD_MODE")))
            upload = *p;
        if (const IndiVector* p =
                s.property(address_.device, QStringLiteral("CCD_TRANSFER_FORMAT")))
            format = *p;
    });
    if (upload.isOn(QStringLiteral("UPLOAD_LOCAL"))) {
        IndiVector both = vectorNamed(address_.device, "UPLOAD_MODE", IndiKind::Switch);
        both.elements = {switchElement("UPLOAD_BOTH", true)};
        client_.send(both);
    }
    if (format.element(QStringLiteral("FORMAT_FITS")) &&
        !format.isOn(QStringLiteral("FORMAT_FITS"))) {
        IndiVector fits = vectorNamed(address_.device, "CCD_TRANSFER_FORMAT", IndiKind::Switch);
        fits.elements = {switchElement("FORMAT_FITS", true)};
        client_.send(fits);
    }
}

// Aborts the exposure under way and waits a moment for the camera to take the abort, so that
// its frame cannot arrive after the next request.
void IndiCamera::abortExposure() {
    IndiVector abort = vectorNamed(address_.device, chip_->abort, IndiKind::Switch);
    abort.elements = {switchElement("ABORT", true)};
    const quint64 sent = revisionNow();
    if (!client_.send(abort))
        return;
    const QString exposureName = QString::fromLatin1(chip_->exposure);
    client_.waitUntil(
        [&](const IndiSnapshot& s) {
            const IndiVector* p = s.property(address_.device, exposureName);
            return !p || (p->revision > sent && p->state != IndiState::Busy);
        },
        timeouts_.abortMs);
    staleFrameRisk_ = false;
}

quint64 IndiCamera::revisionNow() const {
    quint64 revision = 0;
    client_.read([&](const IndiSnapshot& s) { revision = s.revision; });
    return revision;
}

bool IndiCamera::fail(const QString& message) {
    error_ = message;
    return false;
}

std::optional<CameraPixels> indiCameraPixels(const IndiSnapshot& s, const QString& device,
                                             const IndiChip& chip) {
    const IndiVector* info = s.property(device, QLatin1String(chip.info));
    const IndiVector* binning = s.property(device, QLatin1String(chip.binning));
    if (!info || !binning)
        return std::nullopt;
    const auto value = [](const IndiVector* v, const char* name) {
        const IndiElement* e = v->element(QLatin1String(name));
        return e && std::isfinite(e->value) ? e->value : 0.0;
    };
    CameraPixels p;
    p.sizeXUm = value(info, "CCD_PIXEL_SIZE_X");
    p.sizeYUm = value(info, "CCD_PIXEL_SIZE_Y");
    p.binX = int(std::lround(value(binning, "HOR_BIN")));
    p.binY = int(std::lround(value(binning, "VER_BIN")));
    if (!(p.sizeXUm > 0) || !(p.sizeYUm > 0) || p.binX < 1 || p.binY < 1)
        return std::nullopt;
    return p;
}

std::optional<CameraPixels> IndiCamera::pixels() const {
    if (!open_ || !client_.linkUp())
        return std::nullopt;
    std::optional<CameraPixels> p;
    client_.read([&](const IndiSnapshot& s) { p = indiCameraPixels(s, address_.device, *chip_); });
    return p;
}
