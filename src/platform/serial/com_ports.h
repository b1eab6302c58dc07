#pragma once

#include <QSerialPort>
#include <QString>
#include <optional>

// Device behind a COM number: COM1-4 are /dev/ttyS0-3, COM5-12 /dev/ttyUSB0-7 and COM13-16
// /dev/ttyACM0-3. "" for any other number.
QString comPortDevice(int com);

struct LineSettings {
    qint32 baud = 9600;
    QSerialPort::Parity parity = QSerialPort::NoParity;
    QSerialPort::DataBits dataBits = QSerialPort::Data8;
    QSerialPort::StopBits stopBits = QSerialPort::OneStop;

    bool operator==(const LineSettings&) const = default;
};

// Reads "baud,parity,data bits,stop bits", e.g. "9600,N,8,1": baud a positive whole number,
// parity one of N, E, O, M, S, data bits 5-8, stop bits 1, 1.5 or 2. Case and spaces around
// the fields do not matter. nullopt for anything else.
std::optional<LineSettings> parseLineSettings(const QString& text);
