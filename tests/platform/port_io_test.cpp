#include "fakes/fake_parport.h"
#include "platform/parport/port_io.h"

#include <gtest/gtest.h>

namespace {

struct PortIOTest : ::testing::Test {
    FakeParallelPort port;
    QStringList notes;
    PortIO io{port, [this](const QString& note) { notes.append(note); }};
};

} // namespace

TEST_F(PortIOTest, PassesCallsOnButNeverAddressZeroOrBadBits) {
    io.PortOut(888, 0x12);
    io.SetPortBit(888, 7);
    io.ClrPortBit(632, 0);
    io.PortOut(0, 1);
    io.SetPortBit(0, 1);
    io.ClrPortBit(0, 1);
    io.SetPortBit(888, 8);
    io.ClrPortBit(888, 200);
    EXPECT_EQ(port.calls, (QStringList{"out 888 18", "set 888 7", "clr 632 0"}));
    EXPECT_EQ(port.registers[888], 0x92);
    EXPECT_TRUE(notes.isEmpty());
}

TEST_F(PortIOTest, ReportsAnUnreachablePortOnceAndAgainWhenItIsBack) {
    port.available = false;
    io.SetPortBit(888, 1);
    io.ClrPortBit(888, 1);
    io.PortOut(888, 0);
    io.SetPortBit(632, 1);
    port.available = true;
    io.SetPortBit(888, 1);
    port.available = false;
    io.ClrPortBit(888, 1);
    EXPECT_EQ(port.calls.size(), 6);
    EXPECT_EQ(notes,
              (QStringList{"no parallel port at address 888", "no parallel port at address 632", "",
                           "no parallel port at address 888"}));
}

TEST(PortIO, GivesItsOwnNoteWhenTheBackendHasNoReason) {
    struct Silent : FakeParallelPort {
        QString unavailableReason(uint16_t) const override { return QString(); }
    } port;
    port.available = false;
    QStringList notes;
    PortIO io(port, [&](const QString& note) { notes.append(note); });
    io.PortOut(956, 0);
    ASSERT_EQ(notes.size(), 1);
    EXPECT_TRUE(notes.first().contains("956"));
}
