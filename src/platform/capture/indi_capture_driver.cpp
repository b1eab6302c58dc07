#include "platform/capture/indi_capture_driver.h"

#include "platform/capture/frame_stretch.h"
#include "platform/telescope/indi_client_access.h"

#include <QStringList>
#include <limits>

namespace {
// The device limited to the properties that shape its frames.
class FormatAccess : public ClientDeviceAccess {
public:
    FormatAccess(IndiClient& client, const IndiCamera& camera)
        : ClientDeviceAccess(client, camera.address().device, camera.server()) {
        const IndiChip& chip = camera.chip();
        for (const char* name :
             {chip.binning, chip.frame, chip.frameType, chip.frameReset, "CCD_TRANSFER_FORMAT"})
            if (name)
                names_.append(QString::fromLatin1(name));
    }

    std::vector<IndiVector> properties() const override {
        std::vector<IndiVector> shown;
        for (IndiVector& p : ClientDeviceAccess::properties())
            if (names_.contains(p.name))
                shown.push_back(std::move(p));
        return shown;
    }

private:
    QStringList names_;
};
} // namespace

IndiCaptureDriver::IndiCaptureDriver(IndiAddress address, IndiCameraTimeouts timeouts,
                                     IndiChipChoice chip, const CaptureWidgets* widgets)
    : camera_(std::move(address), timeouts, chip), widgets_(widgets) {}

bool IndiCaptureDriver::connect() {
    return camera_.connect();
}

void IndiCaptureDriver::disconnect() {
    camera_.disconnect();
}

bool IndiCaptureDriver::isConnected() const {
    return camera_.connected();
}

CAPDRIVERCAPS IndiCaptureDriver::caps() const {
    return widgets_ ? sourceAndFormatDialogs() : CAPDRIVERCAPS{};
}

std::optional<ExposureRange> IndiCaptureDriver::exposureRange() const {
    if (!camera_.connected())
        return std::nullopt;
    return camera_.exposureLimits().value_or(
        ExposureRange{0, std::numeric_limits<double>::infinity()});
}

bool IndiCaptureDriver::grab(QImage& frame) {
    if (!commanded_)
        return grabLive(frame);
    if (!takePicture())
        return false;
    frame = picture_;
    return true;
}

bool IndiCaptureDriver::takePicture() {
    std::shared_ptr<const RawFrame> raw = camera_.takeFrame();
    if (!raw)
        return false;
    if (raw != raw_) {
        raw_ = std::move(raw);
        picture_ = stretchToPicture(*raw_);
    }
    return true;
}

// Exposures of liveExposureSec run back to back; a grab never waits for one. A frame that
// fails (late, unusable) is skipped; a camera or server gone ends the stream.
bool IndiCaptureDriver::grabLive(QImage& frame) {
    if (!camera_.connected())
        return false;
    if (!camera_.exposureStarted() || camera_.frameDue()) {
        if (camera_.exposureStarted())
            takePicture();
        camera_.startExposure(liveExposureSec);
    }
    if (picture_.isNull()) {
        const QSize size = camera_.frameSize();
        if (size.isEmpty())
            return false;
        picture_ = QImage(size, QImage::Format_RGB32);
        picture_.fill(Qt::black);
    }
    frame = picture_;
    return true;
}

QSize IndiCaptureDriver::frameSize() const {
    return camera_.frameSize();
}

bool IndiCaptureDriver::sourceDialog(QWidget* parent) {
    return showSettings(parent, false);
}

bool IndiCaptureDriver::formatDialog(QWidget* parent) {
    return showSettings(parent, true);
}

QString IndiCaptureDriver::errorString() const {
    return camera_.error();
}

void IndiCaptureDriver::startExposure(double seconds) {
    commanded_ = true;
    camera_.startExposure(seconds);
}

bool IndiCaptureDriver::showSettings(QWidget* parent, bool formatOnly) {
    if (!widgets_ || !camera_.connected())
        return false;
    ClientDeviceAccess all(camera_.client(), camera_.address().device, camera_.server());
    FormatAccess format(camera_.client(), camera_);
    widgets_->indiSettingsDialog(formatOnly ? static_cast<IndiDeviceAccess&>(format) : all, parent);
    return true;
}
