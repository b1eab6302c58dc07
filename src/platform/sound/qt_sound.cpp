#include "platform/sound/qt_sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

QString resolveSoundFile(const QString& name, const QStringList& folders) {
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() ? QDir::cleanPath(name) : QString();
    for (const QString& folder : folders) {
        const QFileInfo candidate(QDir(folder), name);
        if (!folder.isEmpty() && candidate.isFile())
            return QDir::cleanPath(candidate.absoluteFilePath());
    }
    return {};
}

QStringList defaultSoundFolders() {
    const QString programDir = QCoreApplication::applicationDirPath();
    return {programDir, programDir + QStringLiteral("/../share/orvalis/")};
}

QtSound::QtSound() : QtSound(defaultSoundFolders()) {}

QtSound::QtSound(QStringList folders) : folders_(std::move(folders)) {}

QtSound::~QtSound() = default;

void QtSound::play(const QString& path) {
    const QString file = resolveSoundFile(path, folders_);
    if (file.isEmpty())
        return;
    if (!effect_) {
        if (QMediaDevices::defaultAudioOutput().isNull())
            return;
        effect_ = std::make_unique<QSoundEffect>();
    }
    const QUrl source = QUrl::fromLocalFile(file);
    if (effect_->source() != source)
        effect_->setSource(source);
    // Loading and playback run asynchronously; play() only queues the sound.
    effect_->play();
}
