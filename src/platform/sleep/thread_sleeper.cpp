#include "platform/sleep/thread_sleeper.h"

#include <chrono>
#include <thread>

void ThreadSleeper::sleepMs(int ms) {
    if (ms <= 0)
        return;
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}
