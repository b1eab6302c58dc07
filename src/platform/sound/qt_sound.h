#pragma once

#include "platform/sound/sound.h"

#include <QStringList>
#include <memory>

class QSoundEffect;

// The existing file `name` stands for: an absolute name as it is, a relative one looked up in
// each folder in turn (the first folder holding it wins). "" when there is no such file.
QString resolveSoundFile(const QString& name, const QStringList& folders);

// Folders relative sound names are looked up in: the running program's folder, then
// <prefix>/share/orvalis/ of an installed program. Needs the application object.
QStringList defaultSoundFolders();

// Plays WAV files through QSoundEffect. The effect (and with it the multimedia backend) is
// only created by the first play() of an existing file, so start-up never loads it.
class QtSound : public Sound {
public:
    QtSound();
    explicit QtSound(QStringList folders);
    ~QtSound() override;
    // Missing files and machines without an audio output are silently ignored.
    void play(const QString& path) override;

private:
    QStringList folders_;
    std::unique_ptr<QSoundEffect> effect_;
};
