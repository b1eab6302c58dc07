#pragma once

#include "platform/sleep/sleeper.h"

class ThreadSleeper : public Sleeper {
public:
    void sleepMs(int ms) override;
};
