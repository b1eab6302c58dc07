#include "app/Globals.h"
#include "app/frmMain.h"
#include "platform/dialogs/message_boxes.h"
#include "platform/parport/port_io.h"
#include "platform/serial/serial_control.h"

// The LX lines of a long-exposure camera. Rest: Frame A (and Frame B with the advanced
// modification) high on a parallel port, or both serial lines at lxSerialActive. Exposing:
// those bits low, or the chosen serial line at the opposite level. Nothing switches unless
// the camera is modified.

void frmMain::openLXSerialPort() {
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

void frmMain::raiseParallelRestBits(bool withAmpOff) {
    const uint16_t address = Globals::lxPortAddress;
    if (withAmpOff && state.hasAmpOff)
        portIO_->SetPortBit(address, state.ampOffBit);
    portIO_->SetPortBit(address, state.lxaBit);
    if (state.hasAdvancedMod)
        portIO_->SetPortBit(address, state.lxbBit);
}

// withAmpOff also raises the AmpOff line, as loading the settings does; the exposure loop
// never switches it.
void frmMain::setRestLines(bool withAmpOff) {
    if (Globals::lxPortAddress != 0) {
        raiseParallelRestBits(withAmpOff);
    } else if (platform_.serial->portOpen()) {
        platform_.serial->setDTREnable(state.lxSerialActive);
        platform_.serial->setRTSEnable(state.lxSerialActive);
    }
}

void frmMain::endLXExposure() {
    if (state.camModified)
        setRestLines(false);
}

void frmMain::startLXExposure() {
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
