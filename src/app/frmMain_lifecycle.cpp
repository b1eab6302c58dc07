#include "app/frmMain.h"

#include "app/Globals.h"
#include "app/frmAbout.h"
#include "platform/parport/port_io.h"
#include "platform/store/settings_store.h"
#include "server/server_link.h"

#include <QCloseEvent>
#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>

// Start-up, in order; nothing is exposed until the operator presses Preview.
void frmMain::Form_Load() {
    // picFrame shows one frame pixel per screen pixel, so every position in it is a frame pixel.
    startingUp_ = true;
    setDefaults();
    startingUp_ = false;
    if (Globals::lxPortAddress != 0)
        portIO_->PortOut(Globals::lxPortAddress, 0);
    if (state.camModified && Globals::lxPortAddress != 0)
        raiseParallelRestBits(true);

    state.dirNorth = guideNorth;
    state.dirSouth = guideSouth;
    state.dirEast = guideEast;
    state.dirWest = guideWest;
    state.lastRADir.clear();
    state.lastDecDir.clear();

    state.elapsedSec = 0.0f;
    ExposureProgress->setValue(0);
    const int exposure = sldExposure->value();
    lblLX->setText(QString::number(exposure));
    state.exposureSec = static_cast<float>(exposure);
    setProgressMaximumSec(state.exposureSec);
    state.nextExposureSec = static_cast<float>(exposure);

    state.previewing = false;
    state.locked = false;
    state.lockLost = false;
    state.guiding = false;
    state.focusing = false;
    state.logging = false;

    detectCaptureHardware();
    restoreCaptureDriver();
    restoreTelescope();
    watchEquipment();
    loadCalibration();
    server_ = std::make_unique<ServerLink>(*this);
    server_->start();
}

void frmMain::closeEvent(QCloseEvent* event) {
    Form_Unload();
    event->accept();
}

// Shut-down: the timer, capture windows, serial port and an open log end with the process.
void frmMain::Form_Unload() {
    if (optionsDialog)
        delete optionsDialog.data();
    server_.reset();
    if (reconnectTimer_)
        reconnectTimer_->stop();
    cancelPulseWait();
    disconnectTelescope();
}

void frmMain::mnuExit_Click() {
    close();
}

void frmMain::mnuAbout_Click() {
    auto* about = new frmAbout(*platform_.messages, *platform_.tools, this);
    about->show();
}

void frmMain::saveSetting(const char* section, const char* key, const QString& text) {
    settingsSaved(platform_.store->writeSetting(section, key, text));
}

void frmMain::settingsSaved(bool saved) {
    if (saved)
        clearCondition(QStringLiteral("settings"));
    else
        showCondition(QStringLiteral("settings"),
                      QStringLiteral("Settings could not be saved: changes last only until "
                                     "Orvalis closes"));
}
