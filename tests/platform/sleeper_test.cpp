#include "platform/sleep/thread_sleeper.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

TEST(ThreadSleeper, WaitsAtLeastTheTimeAndNotAtAllForZeroOrLess) {
    ThreadSleeper sleeper;
    QElapsedTimer clock;
    clock.start();
    sleeper.sleepMs(-5000);
    EXPECT_LT(clock.elapsed(), 1000);
    sleeper.sleepMs(40);
    EXPECT_GE(clock.elapsed(), 40);
}
