#include "app/Globals.h"
#include "app/frmMain.h"
#include "platform/serial/serial_control.h"
#include "settings/derived.h"
#include "settings/settings_reader.h"

#include <QAction>
#include <QCheckBox>
#include <QSlider>

namespace {
// A reverse switch's stored check state: 0 clear, 1 set, 2 (greyed) counts as set.
Qt::CheckState checkState(SettingsReader& in, const SettingKey& key) {
    return in.whole(key, 0, 2) == 0 ? Qt::Unchecked : Qt::Checked;
}
} // namespace

void frmMain::setDefaults() {
    SettingsReader in(*platform_.store);
    const QString mode = in.text(keys::GuideMode);
    if (mode == QLatin1String("ASCOM"))
        mnuAscom_Click();
    else if (mode == QLatin1String("Parallel"))
        mnuParallel_Click();
    else if (mode == QLatin1String("Serial"))
        mnuSerial_Click();

    loadCameraSettings();
    loadGuidingSettings();
    applyLXPort();

    state.ppNorthBit = in.bit(keys::North);
    state.ppSouthBit = in.bit(keys::South);
    state.ppEastBit = in.bit(keys::East);
    state.ppWestBit = in.bit(keys::West);
    state.lxaBit = in.bit(keys::LXA);
    state.lxbBit = in.bit(keys::LXB);
    state.ampOffBit = in.bit(keys::AmpOff);
    state.appendLog = in.flag(keys::AppendLog);
    state.logFilename = in.text(keys::LogFilename, defaultLogFilename());

    state.arcsecPerPixelX = arcsecPerPixel(state.pixelSizeH, state.focalLength);
    state.arcsecPerPixelY = arcsecPerPixel(state.pixelSizeV, state.focalLength);
    showStatusNotes();
    // At start-up the parallel data register is cleared right after this load and the rest bits
    // raised again; raising them here first would glitch the camera's lines.
    const bool startUpSetsParallelLines = startingUp_ && Globals::lxPortAddress != 0;
    if (state.camModified && !startUpSetsParallelLines)
        setRestLines(true);
    calibrationInUse(); // a new image scale may rule the calibration out
}

// Pixel sizes and focal length that are not positive numbers keep their previous values, and
// with them the previous image scale.
void frmMain::loadCameraSettings() {
    SettingsReader in(*platform_.store);
    state.driverIndex = static_cast<int16_t>(in.whole(keys::DriverIndex, 0, INT16_MAX));
    state.pixelSizeH = in.positiveSingle(keys::HorizontalPixelSize).value_or(state.pixelSizeH);
    state.pixelSizeV = in.positiveSingle(keys::VerticalPixelSize).value_or(state.pixelSizeV);
    state.camModified = in.flag(keys::VXModified);
    state.hasAmpOff = in.flag(keys::HasAmpOff);
    state.hasAdvancedMod = in.flag(keys::HasAdvancedMod);
    state.postLXTime = static_cast<int32_t>(in.whole(keys::PostLXTime, 0, keys::kMaxPostLXTimeMs));
    state.lxPortIndex = static_cast<int16_t>(in.whole(keys::Port, -1, kLastPortIndex));
    state.lxSerialPin = in.text(keys::LXSerialPin);
    state.lxSerialActive = in.flag(keys::LXSerialActive);
    sldExposure->setValue(
        static_cast<int>(in.whole(keys::Exposure, sldExposure->minimum(), sldExposure->maximum())));
    state.focalLength = in.positiveWhole(keys::FocalLength).value_or(state.focalLength);
    Globals::searchRadius = static_cast<uint8_t>(in.whole(keys::Radius, 0, 255));
}

void frmMain::loadGuidingSettings() {
    SettingsReader in(*platform_.store);
    state.raGuideRate = in.single(keys::RAGuideRate);
    state.decGuideRate = in.single(keys::DecGuideRate);
    state.raBacklash = in.single(keys::RABacklash);
    state.decBacklash = in.single(keys::DecBacklash);
    state.minCorrection = in.single(keys::MinimumCorrection);
    state.maxCorrection = in.single(keys::MaximumCorrection);
    state.decCorrect = in.flag(keys::DecCorrect);
    state.autostarPulseGuide = in.flag(keys::AutostarPulseGuide);
    chkRevEW->setCheckState(checkState(in, keys::ReverseEW));
    chkRevNS->setCheckState(checkState(in, keys::ReverseNS));
    sldAggressiveness->setValue(static_cast<int>(in.whole(
        keys::Aggressiveness, sldAggressiveness->minimum(), sldAggressiveness->maximum())));
    state.aggressiveness = sldAggressiveness->value() / 100.0;
}

// A parallel LX port takes the camera off the serial port; a serial one (re)opens it.
void frmMain::applyLXPort() {
    Globals::lxPortAddress = lxPortAddressFor(state.lxPortIndex);
    if (Globals::lxPortAddress != 0 && platform_.serial->portOpen())
        platform_.serial->close();
    state.lxCommPort = lxCommPortFor(state.lxPortIndex);
    if (state.lxPortIndex > 2)
        openLXSerialPort();
}
