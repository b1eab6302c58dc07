#include "app/frmMain.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/store/settings_store.h"
#include "platform/telescope/driver_chooser.h"
#include "platform/telescope/telescope.h"
#include "settings/setting_keys.h"

#include <QAction>

namespace {
const QString kNone = QStringLiteral("<none>");
const QString kMountCondition = QStringLiteral("mount");

QString errorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}
} // namespace

void frmMain::saveDriverId(const QString& identifier) {
    saveSetting(keys::DriverID.section, keys::DriverID.key, identifier);
    calibrationInUse(); // a calibration only counts with the telescope it was made with
}

// The menu without a driver: "<none>", nothing to connect or set up.
void frmMain::showNoTelescope() {
    mnuTelescopeConnected->setChecked(false);
    mnuScope->setText(kNone);
    mnuScope->setEnabled(false);
    mnuTelescopeConnected->setEnabled(false);
    mnuTelescopeProperties->setEnabled(false);
}

void frmMain::showTelescope(const QString& identifier) {
    mnuScope->setText(QStringLiteral("Scope->") + identifier);
    mnuScope->setEnabled(true);
    mnuTelescopeConnected->setEnabled(true);
}

// Choosing always forgets the previous driver first, so a cancelled choice leaves none.
void frmMain::mnuChooseTelescope_Click() {
    clearCondition(kMountCondition);
    showNoTelescope();
    state.telescope.reset();
    saveDriverId(kNone);
    const QString identifier = platform_.chooser->Choose();
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
            showNoTelescope();
            state.telescope.reset();
            saveDriverId(kNone);
            return;
        }
    } catch (const std::exception& error) {
        telescopeConnectionFailed(errorText(error));
        return;
    }
    saveDriverId(identifier);
    showTelescope(identifier);
    mountWanted_ = true;
    mnuTelescopeConnected->setChecked(true);
    mnuTelescopeProperties->setEnabled(true);
}

void frmMain::telescopeConnectionFailed(const QString& why) {
    platform_.messages->show(
        QStringLiteral("Problem connecting to telescope/mount.  Please check the connections."),
        MessageIcon::None);
    note(QStringLiteral("Telescope: %1").arg(why));
    showNoTelescope();
    state.telescope.reset();
    saveDriverId(kNone);
}

std::optional<QString> frmMain::connectChosenTelescope() {
    try {
        state.telescope->setConnected(true);
    } catch (const std::exception& error) {
        return errorText(error);
    }
    clearCondition(kMountCondition);
    mountWanted_ = true;
    mnuTelescopeConnected->setChecked(true);
    mnuTelescopeProperties->setEnabled(true);
    return std::nullopt;
}

void frmMain::mnuTelescopeConnected_Click() {
    // The menu re-checks the entry itself on a click; its mark follows the driver below.
    mnuTelescopeConnected->setChecked(!mnuTelescopeConnected->isChecked());
    if (!state.telescope)
        return;
    if (!telescopeConnected()) {
        if (const auto why = connectChosenTelescope()) {
            platform_.messages->show(QStringLiteral("Problem connecting to telescope/mount.  "
                                                    "Please check the connections."),
                                     MessageIcon::None);
            note(QStringLiteral("Telescope: %1").arg(*why));
            return;
        }
    } else {
        disconnectDriver();
        mnuTelescopeConnected->setChecked(false);
    }
    mnuTelescopeProperties->setEnabled(true);
}

void frmMain::mnuTelescopeProperties_Click() {
    if (state.guiding) {
        platform_.messages->show(
            QStringLiteral("You must disable guiding before changing telescope properties."),
            MessageIcon::Critical);
        return;
    }
    if (!state.telescope)
        return;
    const bool keepConnection = state.telescope->setupDialogKeepsConnection();
    if (!keepConnection && telescopeConnected()) {
        disconnectDriver();
        mnuTelescopeConnected->setChecked(false);
    }
    try {
        state.telescope->SetupDialog();
    } catch (const std::exception& error) {
        note(QStringLiteral("Telescope settings: %1").arg(errorText(error)));
    }
    // A dialog on the live device may have switched it off (or on): the mark follows the driver,
    // and a mount switched off there is not connected again by itself.
    if (keepConnection) {
        mountWanted_ = telescopeConnected();
        mnuTelescopeConnected->setChecked(mountWanted_);
    }
}

// The stored driver comes back unconnected; one that can no longer be created is forgotten
// without a word at start-up.
void frmMain::restoreTelescope() {
    const QString identifier = platform_.store->readSetting(
        keys::DriverID.section, keys::DriverID.key, keys::DriverID.startupDefault);
    if (identifier != kNone) {
        try {
            state.telescope = platform_.telescopes->create(identifier);
            disconnectDriver();
            showTelescope(identifier);
            mnuTelescopeConnected->setChecked(false);
        } catch (const std::exception& error) {
            state.telescope.reset();
            showNoTelescope();
            saveDriverId(kNone);
            note(QStringLiteral("Telescope %1 is not available: %2")
                     .arg(identifier, errorText(error)));
        }
    } else {
        showNoTelescope();
    }
    mnuTelescopeProperties->setEnabled(false);
}

// A network mount that gave no answer holds no link any more: the mark comes off, so neither the
// menu nor shut-down waits on it again, and the condition stays until it is connected anew.
void frmMain::telescopeFailed(const QString& what, const std::exception& error) {
    note(QStringLiteral("%1: %2").arg(what, errorText(error)));
    stopCalibration(); // a pulse that did not go would spoil the measurement
    if (!dynamic_cast<const TelescopeLinkLost*>(&error))
        return;
    mnuTelescopeConnected->setChecked(false);
    showCondition(kMountCondition,
                  QStringLiteral("Mount not answering: connect it again with Telescope > "
                                 "Connected"));
}

// Errors while disconnecting are noted, never raised: the operator may be closing up.
void frmMain::disconnectDriver() {
    mountWanted_ = false;
    try {
        state.telescope->setConnected(false);
    } catch (const std::exception& error) {
        note(QStringLiteral("Telescope did not disconnect: %1").arg(errorText(error)));
    }
}

// Shut-down: the check mark of "Connected" records the connection this window last made, so a
// driver is told to disconnect only when it carries the mark.
void frmMain::disconnectTelescope() {
    if (state.telescope && mnuTelescopeConnected->isChecked())
        disconnectDriver();
}
