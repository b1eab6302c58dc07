// Resident memory of the program without a display, with the lock-lost sound played through the
// multimedia library and with a Sound that plays nothing.
//
// Each variant runs in a child process of its own, so neither pays for the other's libraries.
// The child builds the headless platform on a core application (settings in a fresh folder,
// the machine's cameras and INDI server as they are), lists the cameras, plays the sound once
// and runs its event loop for two seconds; it reports its resident memory after each step.
//
//   headless_bench

#include "headless/headless_platform.h"
#include "platform/sound/sound.h"

#include "bench_util.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

namespace {
void report(const char* step) {
    std::printf("%s %.1f\n", step, residentMb());
    std::fflush(stdout);
}

int child(int argc, char** argv, bool sound) {
    QCoreApplication app(argc, argv);
    report("application");
    QTemporaryDir home;
    HeadlessSetup setup;
    setup.settingsPath = home.filePath(QStringLiteral("Orvalis.ini"));
    setup.sound = sound;
    HeadlessPlatform platform(setup);
    report("platform");
    QString name, version;
    platform.bundle().capture->description(0, name, version);
    report("cameras listed");
    platform.bundle().sound->play(QStringLiteral(ORVALIS_SOUND_FILE));
    QTimer::singleShot(2000, &app, &QCoreApplication::quit);
    app.exec();
    report("sound played, 2 s idle");
    return 0;
}

QStringList run(const QString& self, const char* mode) {
    QProcess process;
    process.start(self, {QString::fromLatin1(mode)});
    process.waitForFinished(60000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (qstrcmp(argv[1], "qt") == 0 || qstrcmp(argv[1], "quiet") == 0))
        return child(argc, argv, qstrcmp(argv[1], "qt") == 0);
    QCoreApplication app(argc, argv);
    const QStringList qt = run(QCoreApplication::applicationFilePath(), "qt");
    const QStringList quiet = run(QCoreApplication::applicationFilePath(), "quiet");
    std::printf("%-28s %12s %12s\n", "resident memory (MB)", "QtSound", "QuietSound");
    for (qsizetype i = 0; i < qt.size() && i < quiet.size(); ++i) {
        const qsizetype cut = qt[i].lastIndexOf(u' ');
        std::printf("%-28s %12s %12s\n", qPrintable(qt[i].left(cut)),
                    qPrintable(qt[i].mid(cut + 1)),
                    qPrintable(quiet[i].mid(quiet[i].lastIndexOf(u' ') + 1)));
    }
    return qt.size() == 4 && quiet.size() == 4 ? 0 : 1;
}
