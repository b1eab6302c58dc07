#include "platform/capture/capture_window.h"

#include "platform/capture/frame_slot.h"

CaptureWindow::CaptureWindow(CaptureDrivers& drivers, FrameSlot& clipboard, QWidget* parent,
                             bool visible, const QRect& geometry)
    : drivers_(drivers), clipboard_(clipboard), view_(drivers.view(parent, visible, geometry)) {
    previewTimer_.setInterval(66);
    connect(&previewTimer_, &QTimer::timeout, this, &CaptureWindow::showPreviewFrame);
}

CaptureWindow::~CaptureWindow() {
    driverDisconnect();
}

bool CaptureWindow::driverConnect(int index) {
    driverDisconnect();
    driver_ = drivers_.create(index);
    if (!driver_) {
        error_ = QStringLiteral("No capture driver %1").arg(index);
        return false;
    }
    if (!driver_->connect()) {
        error_ = driver_->errorString();
        driver_.reset();
        return false;
    }
    error_.clear();
    return true;
}

bool CaptureWindow::driverDisconnect() {
    previewTimer_.stop();
    if (!driver_)
        return false;
    driver_->disconnect();
    driver_.reset();
    return true;
}

bool CaptureWindow::driverReconnect() {
    if (!driver_)
        return false;
    if (!driver_->connect()) {
        error_ = driver_->errorString();
        return false;
    }
    error_.clear();
    return true;
}

bool CaptureWindow::isConnected() const {
    return driver_ && driver_->isConnected();
}

bool CaptureWindow::reconnectable() const {
    return driver_ && driver_->reconnectable();
}

bool CaptureWindow::driverGetCaps(CAPDRIVERCAPS& caps) {
    if (!driver_)
        return false;
    caps = driver_->caps();
    return true;
}

bool CaptureWindow::grabFrame() {
    frame_ = QImage();
    grabbed_ = false;
    if (!driver_)
        return false;
    if (!driver_->grabForLater(frame_)) {
        error_ = driver_->errorString();
        frame_ = QImage();
        return false;
    }
    grabbed_ = true;
    return true;
}

void CaptureWindow::developFrame() {
    if (grabbed_ && frame_.isNull() && driver_)
        driver_->develop(frame_);
}

bool CaptureWindow::editCopy() {
    developFrame();
    clipboard_.put(frame_, driver_ ? driver_->rawFrame() : nullptr);
    return !frame_.isNull();
}

QWidget* CaptureWindow::dialogParent() const {
    return view_ ? view_->dialogParent() : nullptr;
}

bool CaptureWindow::dlgVideoSource() {
    return driver_ && driver_->sourceDialog(dialogParent());
}

bool CaptureWindow::dlgVideoFormat() {
    return driver_ && driver_->formatDialog(dialogParent());
}

bool CaptureWindow::getStatus(CAPSTATUS& status) {
    if (!driver_)
        return false;
    const QSize size = driver_->frameSize();
    status.uiImageWidth = static_cast<uint32_t>(std::max(0, size.width()));
    status.uiImageHeight = static_cast<uint32_t>(std::max(0, size.height()));
    return true;
}

bool CaptureWindow::startExposure(double seconds) {
    if (!driver_)
        return false;
    driver_->startExposure(seconds);
    return true;
}

std::optional<ExposureRange> CaptureWindow::exposureRange() const {
    return driver_ && driver_->isConnected() ? driver_->exposureRange() : std::nullopt;
}

QString CaptureWindow::deviceName() const {
    return driver_ ? driver_->deviceName() : QString();
}

std::optional<CameraPixels> CaptureWindow::pixels() const {
    return driver_ ? driver_->pixels() : std::nullopt;
}

bool CaptureWindow::preview(bool on) {
    if (!on) {
        previewTimer_.stop();
        return true;
    }
    if (!driver_ || !isVisiblePreview())
        return false;
    previewTimer_.start();
    return true;
}

bool CaptureWindow::previewRate(int ms) {
    if (!driver_ || ms <= 0)
        return false;
    previewTimer_.setInterval(ms);
    return true;
}

// A camera that stops delivering ends the preview rather than freezing the window once per
// tick for the grab's whole time-out.
void CaptureWindow::showPreviewFrame() {
    if (!grabFrame()) {
        previewTimer_.stop();
        return;
    }
    developFrame();
    view_->show(frame_);
}
