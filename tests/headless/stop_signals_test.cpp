#include "headless/stop_signals.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <vector>

namespace {
// Runs the event loop until `count` stop requests have come (or a generous bound has passed,
// so a broken handler fails the test rather than hanging it).
std::vector<int> requestsAfter(StopSignals& stop, const std::vector<int>& raised) {
    std::vector<int> got;
    QEventLoop loop;
    QObject::connect(&stop, &StopSignals::stopRequested, &loop, [&](int signalNumber) {
        got.push_back(signalNumber);
        if (got.size() == raised.size())
            loop.quit();
    });
    for (int signalNumber : raised)
        std::raise(signalNumber);
    QTimer::singleShot(20000, &loop, &QEventLoop::quit);
    loop.exec();
    return got;
}

std::atomic<int> earlierHandlerRuns{0};
extern "C" void earlierHandler(int) {
    ++earlierHandlerRuns;
}
} // namespace

TEST(StopSignals, EachSignalBecomesOneRequestOnTheMainThread) {
    StopSignals stop;
    ASSERT_TRUE(stop.installed()) << stop.error().toStdString();
    EXPECT_EQ(requestsAfter(stop, {SIGTERM}), std::vector<int>{SIGTERM});
    EXPECT_EQ(requestsAfter(stop, {SIGINT, SIGTERM, SIGINT}),
              (std::vector<int>{SIGINT, SIGTERM, SIGINT}));
}

TEST(StopSignals, OnlyOneAtATimeAndTheEarlierHandlersComeBack) {
    struct sigaction earlier {};
    earlier.sa_handler = earlierHandler;
    sigemptyset(&earlier.sa_mask);
    struct sigaction oldInt {
    }, oldTerm{};
    ASSERT_EQ(sigaction(SIGINT, &earlier, &oldInt), 0);
    ASSERT_EQ(sigaction(SIGTERM, &earlier, &oldTerm), 0);
    {
        StopSignals stop;
        ASSERT_TRUE(stop.installed());
        StopSignals second;
        EXPECT_FALSE(second.installed());
        EXPECT_FALSE(second.error().isEmpty());
        EXPECT_EQ(requestsAfter(stop, {SIGINT}), std::vector<int>{SIGINT});
        EXPECT_EQ(earlierHandlerRuns, 0);
    }
    std::raise(SIGINT);
    std::raise(SIGTERM);
    EXPECT_EQ(earlierHandlerRuns, 2);
    {
        StopSignals again; // the one before let go of the pipe
        EXPECT_TRUE(again.installed());
    }
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);
}
