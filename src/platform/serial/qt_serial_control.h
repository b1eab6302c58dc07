#pragma once

#include "platform/serial/com_ports.h"
#include "platform/serial/serial_control.h"

#include <QSerialPort>
#include <functional>

// SerialControl over QSerialPort. After opening, DTR and RTS are dropped so a camera wired to
// them stays idle until asked. Losing the device (an unplugged adapter) closes the port.
class QtSerialControl : public SerialControl {
public:
    // Device node for a COM number, "" when it has none.
    using DeviceFor = std::function<QString(int com)>;

    explicit QtSerialControl(DeviceFor deviceFor = comPortDevice);

    void setCommPort(int comPort) override { comPort_ = comPort; }
    int commPort() const override { return comPort_; }
    void setSettings(const QString& settings) override { settings_ = settings; }
    QString settings() const override { return settings_; }

    bool portOpen() const override { return port_.isOpen(); }
    // Closes a port already open, then opens COM commPort() with settings(); never waits for
    // the device.
    bool open() override;
    void close() override;
    bool setDTREnable(bool level) override;
    bool setRTSEnable(bool level) override;
    QString errorString() const override { return error_; }

private:
    bool fail(const QString& error);
    bool setLine(bool (QSerialPort::*set)(bool), const char* name, bool level);
    QString comName() const { return QStringLiteral("COM%1").arg(comPort_); }

    DeviceFor deviceFor_;
    int comPort_ = 1;
    QString settings_ = QStringLiteral("9600,N,8,1");
    QString error_;
    // Last, so it is destroyed first while the members its error handler uses still exist.
    QSerialPort port_;
};
