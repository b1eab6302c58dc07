#pragma once

class Sleeper {
public:
    virtual ~Sleeper() = default;
    // Blocks the calling thread for ms milliseconds (no event processing); ms <= 0 returns at once.
    virtual void sleepMs(int ms) = 0;
};
