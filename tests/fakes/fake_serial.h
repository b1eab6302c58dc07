#pragma once

#include "platform/serial/serial_control.h"

#include <QStringList>

// Serial control port that records opens, closes and line levels as "open COM1",
// "close", "DTR 1", "RTS 0".
class FakeSerial : public SerialControl {
public:
    void setCommPort(int comPort) override { port = comPort; }
    int commPort() const override { return port; }
    void setSettings(const QString& s) override { lineSettings = s; }
    QString settings() const override { return lineSettings; }
    bool portOpen() const override { return isOpen; }
    bool open() override {
        calls.append(QStringLiteral("open COM%1").arg(port));
        if (failOpen)
            return false;
        isOpen = true;
        return true;
    }
    void close() override {
        calls.append(QStringLiteral("close"));
        isOpen = false;
    }
    bool setDTREnable(bool level) override { return setLine("DTR", level, dtr); }
    bool setRTSEnable(bool level) override { return setLine("RTS", level, rts); }
    QString errorString() const override { return QStringLiteral("No such device"); }

    int port = 0;
    QString lineSettings;
    bool isOpen = false;
    bool dtr = false;
    bool rts = false;
    bool failOpen = false;
    QStringList calls;

private:
    bool setLine(const char* name, bool level, bool& line) {
        calls.append(QStringLiteral("%1 %2").arg(QLatin1String(name)).arg(level ? 1 : 0));
        if (!isOpen)
            return false;
        line = level;
        return true;
    }
};
