#include "mount/pulse_wait.h"

#include <gtest/gtest.h>

namespace {
// The mount's answers by axis; nullopt: it cannot tell.
struct Mount {
    std::optional<bool> ra = true, dec = true;
    int asked = 0;
    PulseWait::Report report() {
        return [this](PulseAxis a) {
            ++asked;
            return a == PulseAxis::RA ? ra : dec;
        };
    }
};
} // namespace

TEST(PulseWait, WaitsForTheLongerOfTwoReportedPulses) {
    PulseWait wait;
    Mount mount;
    wait.sent(PulseAxis::RA, 200, 1000, true);
    wait.sent(PulseAxis::Dec, 800, 1010, true);
    EXPECT_TRUE(wait.running(1100, mount.report()));
    mount.ra = false;
    EXPECT_TRUE(wait.running(1250, mount.report()));
    EXPECT_EQ(wait.ranMs(PulseAxis::RA), 250);
    EXPECT_FALSE(wait.ranMs(PulseAxis::Dec));
    mount.dec = false;
    EXPECT_FALSE(wait.running(1830, mount.report()));
    EXPECT_EQ(wait.ranMs(PulseAxis::Dec), 820);
    EXPECT_FALSE(wait.timedOut(PulseAxis::Dec));
}

// An answer of "ended" before the length has run counts (the mount knows best); no answer
// leaves the length to decide; a pulse never reported as ended is given up after length + 5 s.
TEST(PulseWait, EndsByReportLengthOrTimeOut) {
    struct Case {
        bool reportsEnd;
        std::optional<bool> answer;
        int64_t at;
        bool running;
        bool timedOut;
    };
    const Case cases[] = {
        {true, false, 1050, false, false},       {true, true, 1050, true, false},
        {true, std::nullopt, 1050, true, false}, {true, std::nullopt, 1500, false, false},
        {true, true, 6499, true, false},         {true, true, 6500, false, true},
        {false, true, 1499, true, false},        {false, true, 1500, false, false},
    };
    for (const Case& c : cases) {
        PulseWait wait;
        Mount mount;
        mount.ra = c.answer;
        wait.sent(PulseAxis::RA, 500, 1000, c.reportsEnd);
        EXPECT_EQ(wait.running(c.at, mount.report()), c.running) << c.at;
        EXPECT_EQ(wait.timedOut(PulseAxis::RA), c.timedOut) << c.at;
        if (!c.reportsEnd) {
            EXPECT_EQ(mount.asked, 0);
        }
    }
}

TEST(PulseWait, ANewPulseOnAnAxisReplacesTheOldOne) {
    PulseWait wait;
    Mount mount;
    EXPECT_FALSE(wait.running(0, mount.report()));
    EXPECT_FALSE(wait.ranMs(PulseAxis::RA));
    wait.sent(PulseAxis::RA, 100, 0, false);
    wait.sent(PulseAxis::RA, 300, 50, false);
    EXPECT_TRUE(wait.running(200, mount.report()));
    EXPECT_FALSE(wait.running(350, mount.report()));
    EXPECT_EQ(wait.ranMs(PulseAxis::RA), 300);
}
