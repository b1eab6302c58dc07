// The window on the built-in simulator (camera and telescope) with its guiding server on
// 127.0.0.1, for a real imaging program to drive. Every protocol line goes to the log file
// given as the first argument, stamped with seconds since start; SIGTERM or SIGINT ends it.
//   orvalis_sim_host LOG [PORT]
#include "app/frmMain.h"
#include "fakes/sim_rig.h"
#include "server/server_link.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>
#include <csignal>
#include <cstdio>

namespace {
volatile std::sig_atomic_t stopRequested = 0;
void requestStop(int) {
    stopRequested = 1;
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: orvalis_sim_host LOG [PORT]\n");
        return 2;
    }
    QFile log(QString::fromLocal8Bit(argv[1]));
    if (!log.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text)) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 2;
    }
    SimRig rig;
    rig.serveImagingPrograms(QString::fromLocal8Bit(argc > 2 ? argv[2] : "4400"));
    // No calibration stored yet: the first guide calibrates.
    rig.fp.store.set("Calibration Options", "Use Calibration", "1");
    frmMain window(rig.platform());
    EventServer& server = window.server()->events();
    if (!server.isListening()) {
        std::fprintf(stderr, "the server is not listening\n");
        return 1;
    }
    QElapsedTimer clock;
    clock.start();
    server.setTrace([&](int client, bool in, const QByteArray& line) {
        log.write(QByteArray::number(clock.elapsed() / 1000.0, 'f', 3) + ' ' +
                  QByteArray::number(client) + (in ? " -> " : " <- ") + line + '\n');
        log.flush();
    });
    std::signal(SIGTERM, requestStop);
    std::signal(SIGINT, requestStop);
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (stopRequested)
            app.quit();
    });
    poll.start(100);
    std::printf("listening on port %u\n", server.port());
    std::fflush(stdout);
    return app.exec();
}
