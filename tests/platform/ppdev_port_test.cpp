#include "platform/parport/ppdev_port.h"
#include "proc_parport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <cerrno>
#include <gtest/gtest.h>

namespace {

// Records calls as "open /devroot/parport0", "claim 3", "read 3", "write 3 10000001" (lines
// D7..D0), "release 3", "close 3". Lives in the test, so it outlives the port owning the driver.
struct PpdevLog {
    QStringList calls;
    uint8_t lines = 0; // what the next opened device's data register reads
    int openError = 0, claimError = 0, readError = 0, writeError = 0;
    int nextFd = 3;
};

class FakePpdev : public PpdevDriver {
public:
    explicit FakePpdev(PpdevLog& log) : log_(log) {}
    int open(const QString& device, int& fd) override {
        log_.calls.append("open " + device);
        fd = log_.openError ? -1 : log_.nextFd++;
        return log_.openError;
    }
    int claim(int fd) override { return record("claim", fd, log_.claimError); }
    int readData(int fd, uint8_t& value) override {
        value = log_.readError ? 0xA5 : log_.lines;
        return record("read", fd, log_.readError);
    }
    int writeData(int fd, uint8_t value) override {
        log_.calls.append(QStringLiteral("write %1 %2").arg(fd).arg(value, 8, 2, QChar('0')));
        return log_.writeError;
    }
    void release(int fd) override { record("release", fd, 0); }
    void close(int fd) override { record("close", fd, 0); }

private:
    int record(const char* call, int fd, int error) {
        log_.calls.append(QStringLiteral("%1 %2").arg(call).arg(fd));
        return error;
    }
    PpdevLog& log_;
};

struct PpdevPortTest : ::testing::Test {
    QTemporaryDir proc;
    PpdevLog log;
    std::unique_ptr<PpdevParallelPort> port = std::make_unique<PpdevParallelPort>(
        std::make_unique<FakePpdev>(log), proc.path(), QStringLiteral("/devroot"));
};

} // namespace

TEST_F(PpdevPortTest, OpensClaimsAndReadsOnFirstUseAndReleasesAtTheEnd) {
    log.lines = 0b10000000;
    EXPECT_TRUE(port->SetPortBit(888, 0));
    EXPECT_TRUE(port->ClrPortBit(888, 7));
    EXPECT_TRUE(port->SetPortBit(888, 3));
    EXPECT_EQ(log.calls, (QStringList{"open /devroot/parport0", "claim 3", "read 3",
                                      "write 3 10000001", "write 3 00000001", "write 3 00001001"}));
    EXPECT_EQ(port->unavailableReason(888), QString());
    port.reset();
    EXPECT_EQ(log.calls.mid(6), (QStringList{"release 3", "close 3"}));
}

TEST_F(PpdevPortTest, SingleBitsKeepTheOtherLines) {
    ASSERT_TRUE(port->PortOut(632, 0b11110000));
    port->SetPortBit(632, 1);
    port->ClrPortBit(632, 4);
    port->SetPortBit(632, 1);
    EXPECT_EQ(log.calls.mid(3), (QStringList{"write 3 11110000", "write 3 11110010",
                                             "write 3 11100010", "write 3 11100010"}));
    EXPECT_EQ(log.calls.first(), "open /devroot/parport1");

    // Each device has its own register; one that cannot be read starts from all lines low.
    log.readError = EIO;
    EXPECT_TRUE(port->SetPortBit(956, 2));
    EXPECT_EQ(log.calls.mid(7),
              (QStringList{"open /devroot/parport2", "claim 4", "read 4", "write 4 00000100"}));
}

TEST_F(PpdevPortTest, RefusesBadBitsAndAddressesWithoutTouchingAnyDevice) {
    EXPECT_FALSE(port->SetPortBit(888, 8));
    EXPECT_FALSE(port->ClrPortBit(888, 255));
    EXPECT_FALSE(port->PortOut(0, 1));
    EXPECT_FALSE(port->SetPortBit(889, 0));
    EXPECT_TRUE(log.calls.isEmpty());
    EXPECT_TRUE(port->unavailableReason(889).contains("889"));
}

TEST_F(PpdevPortTest, UnreachablePortFailsWithAReasonAndIsTriedAgain) {
    log.openError = ENOENT;
    EXPECT_FALSE(port->PortOut(888, 0xFF));
    EXPECT_EQ(port->unavailableReason(888),
              "No parallel port at /devroot/parport0 (" + qt_error_string(ENOENT) + ")");
    log.openError = EACCES;
    EXPECT_FALSE(port->SetPortBit(888, 1));
    EXPECT_EQ(port->unavailableReason(888),
              "Cannot open /devroot/parport0: " + qt_error_string(EACCES) +
                  " (add your user to group lp)");
    log.openError = 0;
    log.claimError = ENOTTY;
    EXPECT_FALSE(port->SetPortBit(888, 1));
    EXPECT_TRUE(port->unavailableReason(888).contains("not a parallel port"));
    EXPECT_EQ(log.calls.last(), "close 3");
    EXPECT_TRUE(log.calls.filter("write").isEmpty());

    log.claimError = 0;
    EXPECT_TRUE(port->SetPortBit(888, 1));
    EXPECT_EQ(port->unavailableReason(888), QString());
    EXPECT_EQ(log.calls.last(), "write 4 00000010");
}

TEST_F(PpdevPortTest, FailedWriteLeavesTheRegisterAsItWas) {
    ASSERT_TRUE(port->PortOut(888, 0b00000001));
    log.writeError = EIO;
    EXPECT_FALSE(port->SetPortBit(888, 7));
    EXPECT_TRUE(port->unavailableReason(888).startsWith("Cannot write to /devroot/parport0"));
    log.writeError = 0;
    EXPECT_TRUE(port->SetPortBit(888, 6));
    EXPECT_EQ(log.calls.last(), "write 3 01000001");
}

TEST_F(PpdevPortTest, AddressesOnOneDeviceShareItsClaimAndRegister) {
    // A PCI card as parport0 and a legacy port at 888 as parport1: 632 falls back to parport1.
    writeBaseAddr(proc.path(), "parport0", "53264\t53272\n");
    writeBaseAddr(proc.path(), "parport1", "888\t1912\n");
    EXPECT_TRUE(port->PortOut(888, 0b00000001));
    EXPECT_TRUE(port->SetPortBit(632, 7));
    EXPECT_EQ(log.calls.filter("open"), QStringList{"open /devroot/parport1"});
    EXPECT_EQ(log.calls.last(), "write 3 10000001");
    port.reset();
    EXPECT_EQ(log.calls.filter(QRegularExpression("release|close")),
              (QStringList{"release 3", "close 3"}));
}

// The real driver on plain files in a temporary folder: a missing node and a file that is no
// parallel port both fail quickly with a reason, on every try.
TEST(PpdevParallelPortOnFiles, ReportsMissingNodesAndFilesThatAreNoPort) {
    QTemporaryDir proc, dev;
    QFile notAPort(dev.path() + "/parport1");
    ASSERT_TRUE(notAPort.open(QIODevice::WriteOnly));
    notAPort.close();
    PpdevParallelPort port(proc.path(), dev.path());
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_FALSE(port.PortOut(888, 1));
        EXPECT_EQ(port.unavailableReason(888), "No parallel port at " + dev.path() + "/parport0 (" +
                                                   qt_error_string(ENOENT) + ")");
        EXPECT_FALSE(port.SetPortBit(632, 0));
        EXPECT_EQ(port.unavailableReason(632), dev.path() + "/parport1 is not a parallel port (" +
                                                   qt_error_string(ENOTTY) + ")");
    }
    EXPECT_EQ(notAPort.size(), 0);
}
