#include "engine/guide_engine.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "platform/telescope/indi_address.h"
#include "platform/telescope/telescope.h"
#include "settings/setting_keys.h"

namespace {
const QString kNone = QStringLiteral("<none>");
const QString kMountCondition = QStringLiteral("mount");

// A mount on an INDI server by its device name there, as imaging programs know it.
QString deviceName(const QString& identifier) {
    const std::optional<IndiAddress> indi = parseIndiIdentifier(identifier);
    return indi ? indi->device : identifier;
}

QString errorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}
} // namespace

// Allowed at any time, also while guiding: the next correction goes to the new output.
// Nothing is connected, disconnected or cleared.
void GuideEngine::selectGuideOutput(const QString& output) {
    const EngineChange change(*this);
    state.modeAscom = output == QLatin1String("ASCOM");
    state.modeParallel = output == QLatin1String("Parallel");
    state.modeSerial = output == QLatin1String("Serial");
    emit guideOutputChanged();
    saveSetting(keys::GuideMode.section, keys::GuideMode.key, output);
    calibrationInUse(); // a calibration only counts with the output it was made with
}

void GuideEngine::saveDriverId(const QString& identifier) {
    saveSetting(keys::DriverID.section, keys::DriverID.key, identifier);
    calibrationInUse(); // a calibration only counts with the telescope it was made with
}

void GuideEngine::setMountMarked(bool marked) {
    mountMarked_ = marked;
    if (marked) {
        readPointing(true); // a calibration in use follows where the mount points from now on
        calibrationInUse();
        if (usesReportedValues())
            takeReportedSettings(true);
    }
    emit telescopeChanged();
}

void GuideEngine::forgetTelescope() {
    const EngineChange change(*this);
    clearCondition(kMountCondition);
    dropTelescope();
}

// The mount object let go, its choice kept in the settings (another equipment set comes in).
void GuideEngine::releaseTelescope() {
    clearCondition(kMountCondition);
    state.telescope.reset();
    telescopeId_.clear();
    setMountMarked(false);
}

void GuideEngine::dropTelescope() {
    state.telescope.reset();
    telescopeId_.clear();
    setMountMarked(false);
    saveDriverId(kNone);
}

// Choosing always forgets the previous driver first, so a cancelled choice leaves none.
void GuideEngine::chooseTelescope(const QString& identifier) {
    const EngineChange change(*this);
    if (state.telescope || !telescopeId_.isEmpty())
        forgetTelescope();
    if (identifier.isEmpty())
        return;
    try {
        state.telescope = platform_.telescopes->create(identifier);
        state.telescope->setConnected(true);
        if (!state.telescope->CanPulseGuide()) {
            platform_.messages->show(QStringLiteral("Sorry...This scope can not be guided!\r\n"
                                                    "The scope must support the ASCOM "
                                                    "PulseGuide() Function."),
                                     MessageIcon::Critical);
            dropTelescope();
            return;
        }
    } catch (const std::exception& error) {
        telescopeConnectionFailed(errorText(error));
        return;
    }
    saveDriverId(identifier);
    telescopeId_ = identifier;
    mountWanted_ = true;
    setMountMarked(true);
}

void GuideEngine::telescopeConnectionFailed(const QString& why) {
    platform_.messages->show(
        QStringLiteral("Problem connecting to telescope/mount.  Please check the connections."),
        MessageIcon::None);
    note(QStringLiteral("Telescope: %1").arg(why));
    dropTelescope();
}

std::optional<QString> GuideEngine::connectChosenTelescope() {
    try {
        state.telescope->setConnected(true);
    } catch (const std::exception& error) {
        return errorText(error);
    }
    clearCondition(kMountCondition);
    mountWanted_ = true;
    setMountMarked(true);
    return std::nullopt;
}

bool GuideEngine::toggleTelescopeConnection() {
    if (!state.telescope)
        return false;
    const EngineChange change(*this);
    if (telescopeConnected()) {
        disconnectDriver();
        setMountMarked(false);
        return true;
    }
    if (const auto why = connectChosenTelescope()) {
        platform_.messages->show(QStringLiteral("Problem connecting to telescope/mount.  "
                                                "Please check the connections."),
                                 MessageIcon::None);
        note(QStringLiteral("Telescope: %1").arg(*why));
        return false;
    }
    return true;
}

// The driver's own answer; a driver that fails to answer counts as not connected.
bool GuideEngine::telescopeConnected() {
    if (!state.telescope)
        return false;
    try {
        return state.telescope->Connected();
    } catch (const std::exception& error) {
        telescopeFailed(QStringLiteral("Telescope"), error);
        return false;
    }
}

// The stored driver comes back unconnected; one that can no longer be created is forgotten
// without a word at start-up.
void GuideEngine::restoreTelescope() {
    const QString identifier = platform_.store->readSetting(
        keys::DriverID.section, keys::DriverID.key, keys::DriverID.startupDefault);
    if (identifier == kNone) {
        emit telescopeChanged();
        return;
    }
    try {
        state.telescope = platform_.telescopes->create(identifier);
        telescopeId_ = identifier;
        disconnectDriver();
        setMountMarked(false);
    } catch (const std::exception& error) {
        dropTelescope();
        note(QStringLiteral("Telescope %1 is not available: %2").arg(identifier, errorText(error)));
    }
}

// A network mount that gave no answer holds no link any more: the mark comes off, so neither a
// caller nor shut-down waits on it again, and the condition stays until it is connected anew.
void GuideEngine::telescopeFailed(const QString& what, const std::exception& error) {
    note(QStringLiteral("%1: %2").arg(what, errorText(error)));
    stopCalibration(); // a pulse that did not go would spoil the measurement
    if (!dynamic_cast<const TelescopeLinkLost*>(&error))
        return;
    setMountMarked(false);
    showCondition(kMountCondition,
                  QStringLiteral("Mount not answering: connect it again with Telescope > "
                                 "Connected"));
}

// Errors while disconnecting are noted, never raised: the operator may be closing up.
void GuideEngine::disconnectDriver() {
    mountWanted_ = false;
    try {
        state.telescope->setConnected(false);
    } catch (const std::exception& error) {
        note(QStringLiteral("Telescope did not disconnect: %1").arg(errorText(error)));
    }
}

QString GuideEngine::mountName() const {
    if (state.modeParallel)
        return QStringLiteral("Parallel relay box");
    if (!state.modeAscom || !state.telescope)
        return kNone;
    return deviceName(telescopeId_);
}

QString GuideEngine::mountLabel() const {
    return QStringLiteral("Mount \"%1\"").arg(deviceName(telescopeId_));
}

// After the driver's own settings dialog on a live device: the mark follows the driver, and a
// mount switched off there is not connected again by itself.
void GuideEngine::followTelescopeSetup() {
    const EngineChange change(*this);
    mountWanted_ = telescopeConnected();
    setMountMarked(mountWanted_);
}

// The telescope is told to disconnect and loses its Connected mark.
void GuideEngine::disconnectTelescope() {
    const EngineChange change(*this);
    disconnectDriver();
    setMountMarked(false);
}
