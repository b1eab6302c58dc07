#pragma once

#include <QString>

class Sound {
public:
    virtual ~Sound() = default;
    // Starts playing a sound file and returns at once; silent without an audio device.
    virtual void play(const QString& path) = 0;
};
