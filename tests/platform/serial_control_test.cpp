#include "platform/serial/qt_serial_control.h"

#include <QTemporaryDir>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

namespace {

// A pseudo-terminal whose slave side stands in for a serial device.
class PseudoTerminal {
public:
    PseudoTerminal() : master(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC)) {
        if (master >= 0 && grantpt(master) == 0 && unlockpt(master) == 0)
            if (const char* name = ptsname(master))
                slave = QString::fromLocal8Bit(name);
    }
    ~PseudoTerminal() {
        if (master >= 0)
            ::close(master);
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // The line settings of the slave side, read through the master.
    termios settings() const {
        termios t{};
        tcgetattr(master, &t);
        return t;
    }

    int master;
    QString slave;
};

} // namespace

TEST(ComPortDevice, MapsComNumbersToSerialDevices) {
    EXPECT_EQ(comPortDevice(1), "/dev/ttyS0");
    EXPECT_EQ(comPortDevice(4), "/dev/ttyS3");
    EXPECT_EQ(comPortDevice(5), "/dev/ttyUSB0");
    EXPECT_EQ(comPortDevice(12), "/dev/ttyUSB7");
    EXPECT_EQ(comPortDevice(13), "/dev/ttyACM0");
    EXPECT_EQ(comPortDevice(16), "/dev/ttyACM3");
    for (int com : {-1, 0, 17, 100})
        EXPECT_EQ(comPortDevice(com), QString()) << com;
}

TEST(ParseLineSettings, ReadsEveryParityDataAndStopChoice) {
    using P = QSerialPort;
    const std::pair<const char*, LineSettings> cases[] = {
        {"9600,N,8,1", {9600, P::NoParity, P::Data8, P::OneStop}},
        {" 115200 , e ,7 , 2 ", {115200, P::EvenParity, P::Data7, P::TwoStop}},
        {"300,o,5,1.5", {300, P::OddParity, P::Data5, P::OneAndHalfStop}},
        {"1200,M,6,1", {1200, P::MarkParity, P::Data6, P::OneStop}},
        {"4800,s,8,2", {4800, P::SpaceParity, P::Data8, P::TwoStop}},
    };
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(parseLineSettings(text), expected) << text;
}

TEST(ParseLineSettings, RejectsMalformedText) {
    for (const char* text :
         {"", "9600", "9600,N,8", "9600,N,8,1,1", "0,N,8,1", "-9600,N,8,1", "fast,N,8,1",
          "9600.5,N,8,1", "9600,X,8,1", "9600,NO,8,1", "9600,,8,1", "9600,N,4,1", "9600,N,9,1",
          "9600,N,eight,1", "9600,N,8,3", "9600,N,8,", "9600;N;8;1"})
        EXPECT_FALSE(parseLineSettings(text)) << text;
}

TEST(QtSerialControl, FailsCleanlyWithoutADeviceOrWithBadSettings) {
    QtSerialControl serial;
    for (int com : {0, 17}) {
        serial.setCommPort(com);
        EXPECT_FALSE(serial.open());
        EXPECT_FALSE(serial.portOpen());
        EXPECT_EQ(serial.errorString(), QStringLiteral("COM%1 has no device").arg(com));
    }

    // The settings are checked before the device is touched.
    QTemporaryDir dir;
    QtSerialControl mapped([&](int) { return dir.path() + "/never-opened"; });
    mapped.setSettings("9600,N,9,1");
    EXPECT_FALSE(mapped.open());
    EXPECT_FALSE(mapped.portOpen());
    EXPECT_TRUE(mapped.errorString().contains("9600,N,9,1")) << mapped.errorString().toStdString();

    EXPECT_FALSE(serial.setDTREnable(true));
    EXPECT_FALSE(serial.setRTSEnable(false));
    EXPECT_TRUE(serial.errorString().contains("not open"));
}

TEST(QtSerialControl, OpensTheMappedDeviceWithItsLineSettings) {
    PseudoTerminal pty;
    ASSERT_FALSE(pty.slave.isEmpty());
    QtSerialControl serial([&](int com) { return com == 3 ? pty.slave : QString(); });
    serial.setCommPort(3);
    // The pseudo-terminal driver forces 8 data bits without parity, so only the speed, the stop
    // bits and flow control can be checked here.
    serial.setSettings("19200,E,7,2");
    ASSERT_TRUE(serial.open()) << serial.errorString().toStdString();
    EXPECT_TRUE(serial.portOpen());
    termios t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B19200));
    EXPECT_EQ(t.c_cflag & (CSTOPB | CRTSCTS), tcflag_t(CSTOPB));
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), tcflag_t(0));

    // Opening again applies changed settings.
    serial.setSettings("9600,n,8,1");
    ASSERT_TRUE(serial.open()) << serial.errorString().toStdString();
    t = pty.settings();
    EXPECT_EQ(cfgetospeed(&t), speed_t(B9600));
    EXPECT_EQ(t.c_cflag & CSTOPB, tcflag_t(0));

    // A pseudo-terminal has no modem lines: the call fails with a reason, the port stays open.
    EXPECT_FALSE(serial.setDTREnable(true));
    EXPECT_TRUE(serial.errorString().startsWith("Cannot set DTR on COM3"));
    EXPECT_TRUE(serial.portOpen());

    serial.close();
    EXPECT_FALSE(serial.portOpen());
    EXPECT_FALSE(serial.setRTSEnable(true));

    serial.setCommPort(4);
    EXPECT_FALSE(serial.open());
    EXPECT_EQ(serial.errorString(), "COM4 has no device");
}
