#pragma once

#include <QString>

// The serial port whose DTR or RTS line switches a long-exposure camera. Only the two
// control lines are used; nothing is ever sent or read.
class SerialControl {
public:
    virtual ~SerialControl() = default;

    // COM number 1..16 (see comPortDevice for the device each one opens). Takes effect at the
    // next open().
    virtual void setCommPort(int comPort) = 0;
    virtual int commPort() const = 0;
    // Line settings as "baud,parity,data bits,stop bits", e.g. "9600,N,8,1".
    virtual void setSettings(const QString& settings) = 0;
    virtual QString settings() const = 0;

    virtual bool portOpen() const = 0;
    // false when the port cannot be opened (errorString() says why); it then stays closed.
    virtual bool open() = 0;
    virtual void close() = 0;
    // Raise (true) or drop (false) a control line of the open port; false when not open or
    // the line cannot be set.
    virtual bool setDTREnable(bool level) = 0;
    virtual bool setRTSEnable(bool level) = 0;
    virtual QString errorString() const = 0;
};
