#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/parport/port_io.h"
#include "platform/serial/serial_control.h"
#include "settings/convert.h"
#include "settings/derived.h"
#include "settings/settings_reader.h"

#include <algorithm>

namespace {
// A reverse switch's stored check state: 0 clear, 1 set, 2 (greyed) counts as set.
bool reversed(SettingsReader& in, const SettingKey& key) {
    return in.whole(key, 0, 2) != 0;
}
} // namespace

void GuideEngine::loadSettings(bool startingUp) {
    const EngineChange change(*this);
    SettingsReader in(*platform_.store);
    const QString mode = in.text(keys::GuideMode);
    if (mode == QLatin1String("ASCOM") || mode == QLatin1String("Parallel") ||
        mode == QLatin1String("Serial"))
        selectGuideOutput(mode);

    loadCameraSettings();
    loadDarkSettings();
    loadGuidingSettings();
    loadLaws();
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
    useReportedValues_ = in.flag(keys::UseReportedValues);

    applyImageScale();
    emit conditionsChanged(); // the image scale heads the status tooltip
    // At start-up the parallel data register is cleared right after this load and the rest bits
    // raised again; raising them here first would glitch the camera's lines.
    const bool startUpSetsParallelLines = startingUp && Globals::lxPortAddress != 0;
    if (state.camModified && !startUpSetsParallelLines)
        setRestLines(true);
    calibrationInUse(); // a new image scale may rule the calibration out
}

// Pixel sizes and focal length that are not positive numbers keep their previous values, and
// with them the previous image scale.
void GuideEngine::loadCameraSettings() {
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
    // As a slider moved to the stored value: only a change is applied (and saved).
    const int exposure =
        static_cast<int>(in.whole(keys::Exposure, kMinExposureSec, kMaxExposureSec));
    if (exposure != sliderExposureSec_)
        setSliderExposure(exposure);
    state.focalLength = in.positiveWhole(keys::FocalLength).value_or(state.focalLength);
    Globals::searchRadius = static_cast<uint8_t>(in.whole(keys::Radius, 0, 255));
}

void GuideEngine::loadGuidingSettings() {
    SettingsReader in(*platform_.store);
    state.raGuideRate = in.single(keys::RAGuideRate);
    state.decGuideRate = in.single(keys::DecGuideRate);
    state.raBacklash = in.single(keys::RABacklash);
    state.decBacklash = in.single(keys::DecBacklash);
    state.minCorrection = in.single(keys::MinimumCorrection);
    state.maxCorrection = in.single(keys::MaximumCorrection);
    state.decCorrect = in.flag(keys::DecCorrect);
    state.autostarPulseGuide = in.flag(keys::AutostarPulseGuide);
    if (const bool on = reversed(in, keys::ReverseEW); on != state.reverseEW)
        setReverse(false, on);
    if (const bool on = reversed(in, keys::ReverseNS); on != state.reverseNS)
        setReverse(true, on);
    const int percent =
        static_cast<int>(in.whole(keys::Aggressiveness, kMinAggressiveness, kMaxAggressiveness));
    if (percent != aggressivenessPercent_)
        setAggressiveness(percent);
    state.aggressiveness = aggressivenessPercent_ / 100.0;
}

void GuideEngine::setAggressiveness(int percent) {
    aggressivenessPercent_ = std::clamp(percent, kMinAggressiveness, kMaxAggressiveness);
    state.aggressiveness = aggressivenessPercent_ / 100.0;
    saveSetting(keys::Aggressiveness.section, keys::Aggressiveness.key,
                fromWhole(aggressivenessPercent_));
}

void GuideEngine::setReverse(bool northSouth, bool on) {
    (northSouth ? state.reverseNS : state.reverseEW) = on;
    const SettingKey& key = northSouth ? keys::ReverseNS : keys::ReverseEW;
    saveSetting(key.section, key.key, on ? QStringLiteral("1") : QStringLiteral("0"));
}

// A parallel LX port takes the camera off the serial port; a serial one (re)opens it.
void GuideEngine::applyLXPort() {
    Globals::lxPortAddress = lxPortAddressFor(state.lxPortIndex);
    if (Globals::lxPortAddress != 0 && platform_.serial->portOpen())
        platform_.serial->close();
    state.lxCommPort = lxCommPortFor(state.lxPortIndex);
    if (state.lxPortIndex > 2)
        openLXSerialPort();
}

// The LX lines of a long-exposure camera. Rest: Frame A (and Frame B with the advanced
// modification) high on a parallel port, or both serial lines at lxSerialActive. Exposing:
// those bits low, or the chosen serial line at the opposite level. Nothing switches unless
// the camera is modified.

void GuideEngine::openLXSerialPort() {
    SerialControl& com = *platform_.serial;
    if (com.portOpen())
        com.close();
    com.setCommPort(state.lxCommPort);
    com.setSettings(QStringLiteral("9600,N,8,1"));
    const bool ok = com.open() && com.setRTSEnable(state.lxSerialActive) &&
                    com.setDTREnable(state.lxSerialActive);
    if (!ok)
        platform_.messages->show(QStringLiteral("The Com port selected is not available"),
                                 MessageIcon::None);
}

void GuideEngine::raiseParallelRestBits(bool withAmpOff) {
    const uint16_t address = Globals::lxPortAddress;
    if (withAmpOff && state.hasAmpOff)
        portIO_->SetPortBit(address, state.ampOffBit);
    portIO_->SetPortBit(address, state.lxaBit);
    if (state.hasAdvancedMod)
        portIO_->SetPortBit(address, state.lxbBit);
}

// withAmpOff also raises the AmpOff line, as loading the settings does; the exposure loop
// never switches it.
void GuideEngine::setRestLines(bool withAmpOff) {
    if (Globals::lxPortAddress != 0) {
        raiseParallelRestBits(withAmpOff);
    } else if (platform_.serial->portOpen()) {
        platform_.serial->setDTREnable(state.lxSerialActive);
        platform_.serial->setRTSEnable(state.lxSerialActive);
    }
}

void GuideEngine::endLXExposure() {
    if (state.camModified)
        setRestLines(false);
}

void GuideEngine::startLXExposure() {
    if (!state.camModified)
        return;
    const uint16_t address = Globals::lxPortAddress;
    if (address != 0) {
        portIO_->ClrPortBit(address, state.lxaBit);
        if (state.hasAdvancedMod)
            portIO_->ClrPortBit(address, state.lxbBit);
        return;
    }
    SerialControl& com = *platform_.serial;
    if (!com.portOpen())
        return;
    // A pin other than DTR or RTS switches nothing.
    if (state.lxSerialPin == QLatin1String("DTR")) {
        com.setDTREnable(!state.lxSerialActive);
        com.setRTSEnable(state.lxSerialActive);
    } else if (state.lxSerialPin == QLatin1String("RTS")) {
        com.setRTSEnable(!state.lxSerialActive);
        com.setDTREnable(state.lxSerialActive);
    }
}
