#include "headless/headless_main.h"

#include "headless/headless_guider.h"
#include "headless/headless_options.h"
#include "headless/headless_platform.h"
#include "version.h"

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#ifdef __GLIBC__
#include <malloc.h>
#endif

bool wantsHeadless(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        for (const char* option : {"--headless", "--take-darks", "--list-cameras", "--list-mounts",
                                   "--help", "-h", "--version"})
            if (std::strcmp(argv[i], option) == 0)
                return true;
        if (std::strncmp(argv[i], "--take-darks=", 13) == 0)
            return true;
    }
    return false;
}

namespace {
// The answers that need no guider; nullopt when the guider is to run.
std::optional<int> answerAlone(const HeadlessOptions& options, HeadlessPlatform* platform) {
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (options.help) {
        out << headlessHelpText();
        return 0;
    }
    if (options.version) {
        out << ORVALIS_TITLE " " ORVALIS_VERSION "\n";
        return 0;
    }
    if (!platform)
        return std::nullopt;
    if (options.listCameras)
        platform->printCameraList(out, err);
    if (options.listMounts)
        platform->printMountList(out, err);
    if (options.listCameras || options.listMounts)
        return 0;
    return std::nullopt;
}
// The guider until a stop; the platform and the guider are gone when this returns.
int runGuider(QCoreApplication& app, const HeadlessOptions& options, const HeadlessSetup& setup) {
    HeadlessPlatform platform(setup);
    if (const auto code = answerAlone(options, &platform))
        return *code;
    HeadlessGuider guider(platform, options);
    QObject::connect(&guider, &HeadlessGuider::finished, &app, &QCoreApplication::quit,
                     Qt::QueuedConnection);
    if (const QString why = guider.start(); !why.isEmpty()) {
        sayOnStandardError(why);
        return 1;
    }
    const int code = app.exec();
    return code != 0 ? code : guider.exitCode();
}
} // namespace

int runHeadless(int argc, char** argv) {
#ifdef __GLIBC__
    // Every frame allocates and frees a few blocks of about a megabyte. Kept in the heap rather
    // than mapped afresh and given back each time, they cost no page faults (a third of the CPU
    // time of a simulated frame); the price is a few megabytes of resident memory.
    mallopt(M_MMAP_THRESHOLD, 16 << 20);
    mallopt(M_TRIM_THRESHOLD, 32 << 20);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral(ORVALIS_TITLE));
    QCoreApplication::setOrganizationName(QStringLiteral(ORVALIS_TITLE));
    QCoreApplication::setApplicationVersion(QStringLiteral(ORVALIS_VERSION));
    const HeadlessParse parse = parseHeadlessOptions(QCoreApplication::arguments());
    if (!parse.options) {
        sayOnStandardError(parse.error + QStringLiteral(" (see --help)"));
        return 2;
    }
    if (const auto code = answerAlone(*parse.options, nullptr))
        return *code;
    HeadlessSetup setup;
    setup.mount = parse.options->mount;
    const int code = runGuider(app, *parse.options, setup);
    equipmentLetGo();
    return code;
}
