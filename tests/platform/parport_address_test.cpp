#include "platform/parport/parport_address.h"
#include "proc_parport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(ParportDevice, FollowsTheKernelsBaseAddresses) {
    QTemporaryDir proc;
    writeBaseAddr(proc.path(), "parport0", "632\t1656\n");
    writeBaseAddr(proc.path(), "parport1", "888\t1912\n");
    EXPECT_EQ(parportDevice(888, proc.path(), "/devroot"), "/devroot/parport1");
    EXPECT_EQ(parportDevice(632, proc.path(), "/devroot"), "/devroot/parport0");
    EXPECT_EQ(parportDevice(956, proc.path(), "/devroot"), "/devroot/parport2");

    // Numeric order, not name order (parport10 sorts before parport2).
    QTemporaryDir many;
    writeBaseAddr(many.path(), "parport10", "956\t1980\n");
    writeBaseAddr(many.path(), "parport2", "956\t1980\n");
    writeBaseAddr(many.path(), "default", "956\n");
    EXPECT_EQ(parportDevice(956, many.path(), "/devroot"), "/devroot/parport2");
}

TEST(ParportDevice, FallsBackToTheLptNumberWithoutAMatchingEntry) {
    QTemporaryDir empty;
    for (const QString& root : {empty.path(), empty.path() + "/missing"}) {
        EXPECT_EQ(parportDevice(888, root, "/devroot"), "/devroot/parport0");
        EXPECT_EQ(parportDevice(632, root, "/devroot"), "/devroot/parport1");
        EXPECT_EQ(parportDevice(956, root, "/devroot"), "/devroot/parport2");
    }
    QTemporaryDir garbage;
    writeBaseAddr(garbage.path(), "parport1", "0x378\n");
    writeBaseAddr(garbage.path(), "parport2", "");
    writeBaseAddr(garbage.path(), "parport3", "port 888\n");
    writeBaseAddr(garbage.path(), "parport4", "8880\t9000\n");
    QDir(garbage.path()).mkpath("parport5");
    EXPECT_EQ(parportDevice(888, garbage.path(), "/devroot"), "/devroot/parport0");
}

TEST(ParportDevice, OtherAddressesHaveNoDevice) {
    QTemporaryDir proc;
    writeBaseAddr(proc.path(), "parport0", "889\t1913\n");
    for (uint16_t address : {0, 1, 889, 0x3BC + 4, 53264, 65535})
        EXPECT_EQ(parportDevice(address, proc.path(), "/devroot"), QString()) << address;
}
