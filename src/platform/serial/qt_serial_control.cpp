#include "platform/serial/qt_serial_control.h"

QtSerialControl::QtSerialControl(DeviceFor deviceFor) : deviceFor_(std::move(deviceFor)) {
    QObject::connect(
        &port_, &QSerialPort::errorOccurred, &port_, [this](QSerialPort::SerialPortError error) {
            if (error != QSerialPort::ResourceError || !port_.isOpen())
                return;
            error_ = QStringLiteral("%1 was lost: %2").arg(comName(), port_.errorString());
            port_.close();
        });
}

bool QtSerialControl::open() {
    close();
    const QString device = deviceFor_ ? deviceFor_(comPort_) : QString();
    if (device.isEmpty())
        return fail(QStringLiteral("%1 has no device").arg(comName()));
    const std::optional<LineSettings> line = parseLineSettings(settings_);
    if (!line)
        return fail(QStringLiteral("Invalid serial line settings \"%1\" (expected e.g. 9600,N,8,1)")
                        .arg(settings_));
    port_.setPortName(device);
    port_.setBaudRate(line->baud);
    port_.setParity(line->parity);
    port_.setDataBits(line->dataBits);
    port_.setStopBits(line->stopBits);
    port_.setFlowControl(QSerialPort::NoFlowControl);
    if (!port_.open(QIODevice::ReadWrite))
        return fail(
            QStringLiteral("Cannot open %1 (%2): %3").arg(comName(), device, port_.errorString()));
    // Opening raises both lines on most drivers. Failing to drop them is not fatal here: the
    // caller learns it from setDTREnable/setRTSEnable.
    port_.setDataTerminalReady(false);
    port_.setRequestToSend(false);
    port_.clearError();
    error_.clear();
    return true;
}

void QtSerialControl::close() {
    if (port_.isOpen())
        port_.close();
}

bool QtSerialControl::setDTREnable(bool level) {
    return setLine(&QSerialPort::setDataTerminalReady, "DTR", level);
}

bool QtSerialControl::setRTSEnable(bool level) {
    return setLine(&QSerialPort::setRequestToSend, "RTS", level);
}

bool QtSerialControl::fail(const QString& error) {
    error_ = error;
    return false;
}

bool QtSerialControl::setLine(bool (QSerialPort::*set)(bool), const char* name, bool level) {
    if (!port_.isOpen())
        return fail(QStringLiteral("%1 is not open").arg(comName()));
    port_.clearError();
    if ((port_.*set)(level))
        return true;
    return fail(QStringLiteral("Cannot set %1 on %2: %3")
                    .arg(QLatin1String(name), comName(), port_.errorString()));
}
