#pragma once

#include "platform/sound/sound.h"

// Plays nothing: for a computer nobody listens to.
class QuietSound : public Sound {
public:
    void play(const QString&) override {}
};
