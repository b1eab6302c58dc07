#pragma once

#include "platform/capture/capture_driver.h"

class CaptureWidgets;
class SettingsStore;
class SkySimulator;

// The sky simulator as a camera. It always connects; its Source dialog edits the simulated
// sky and mount, its Format dialog the frame size, and both save under "Simulator Options".
// Without `widgets` it has no dialogs. The simulator, store and widgets are not owned and must
// outlive the driver.
class SimCaptureDriver : public CaptureDriver {
public:
    SimCaptureDriver(SkySimulator& sky, SettingsStore& store,
                     const CaptureWidgets* widgets = nullptr);

    bool connect() override;
    void disconnect() override;
    bool isConnected() const override;
    CAPDRIVERCAPS caps() const override;
    // A fresh frame at once while connected; false otherwise.
    bool grab(QImage& frame) override;
    // Renders nothing until develop(): a guide cycle grabs twice and uses the second frame.
    bool grabForLater(QImage& frame) override;
    void develop(QImage& frame) override;
    QSize frameSize() const override;
    bool sourceDialog(QWidget* parent) override;
    bool formatDialog(QWidget* parent) override;
    QString errorString() const override;

private:
    SkySimulator& sky_;
    SettingsStore& store_;
    const CaptureWidgets* widgets_;
    bool connected_ = false;
    bool pending_ = false;   // a grabForLater() not yet developed
    double pendingAt_ = 0.0; // its clock time, seconds
    QString error_;
};

QString simulatorName();
QString simulatorVersion();
