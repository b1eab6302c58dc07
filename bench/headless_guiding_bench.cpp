// The program without a display guiding the built-in simulator, driven over the guiding
// protocol as an imaging program would: its resident memory and its CPU time per frame while
// guiding 1 s exposures, and how long it takes to end on SIGTERM.
//   headless_guiding_bench [SECONDS] [PORT]     (defaults: 60 s of guiding, port 4417)
// Build it Release for figures that mean something.
#include "bench/protocol_client.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>
#include <memory>
#include <signal.h>
#include <unistd.h>

namespace {
// Runs the event loop until `done` holds; false after `ms`.
bool waitFor(const std::function<bool()>& done, int ms) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

// User plus system CPU time of process `pid` so far, ms.
double cpuMs(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // Fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    const QList<QByteArray> fields = stat.readAll().split(')').last().trimmed().split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// A "VmRSS"-like line of /proc/PID/status, MB.
double statusMb(qint64 pid, const QByteArray& field) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

void writeSettings(const QString& path) {
    QFile ini(path);
    ini.open(QIODevice::WriteOnly);
    ini.write("[Guiding%20Options]\nDec%20Correct=1\nRA%20Guide%20Rate=15\nDec%20Guide%20Rate=15\n"
              "Minumum%20Correction=0.5\n\n[Calibration%20Options]\nUse%20Calibration=1\n"
              "Distance=8\n");
}

// Connect, loop, choose a star and guide (calibrating first) until the first settle ends.
bool startGuiding(ProtocolClient& client) {
    if (!client.connected())
        return false;
    client.call(QStringLiteral("set_connected"), QJsonArray{true});
    client.call(QStringLiteral("loop"), QJsonArray{});
    if (!waitFor([&] { return client.takeEvent(QStringLiteral("LoopingExposures")).has_value(); },
                 20000))
        return false;
    client.call(QStringLiteral("find_star"), QJsonArray{});
    const QJsonObject settle{{"pixels", 1.5}, {"time", 2}, {"timeout", 60}};
    client.call(QStringLiteral("guide"), QJsonArray{settle, false});
    return waitFor([&] { return client.takeEvent(QStringLiteral("SettleDone")).has_value(); },
                   180000);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    const quint16 port = static_cast<quint16>(argc > 2 ? std::atoi(argv[2]) : 4417);
    QTemporaryDir home;
    QDir().mkpath(home.filePath("config/Orvalis"));
    writeSettings(home.filePath("config/Orvalis/Orvalis.ini"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    env.insert("HOME", home.path());
    env.insert("XDG_CONFIG_HOME", home.filePath("config"));
    QProcess program;
    program.setProcessEnvironment(env);
    program.setStandardErrorFile(home.filePath("stderr.txt"));
    program.start(QStringLiteral(ORVALIS_PROGRAM),
                  {"--headless", "--camera", "Orvalis Sky Simulator", "--mount",
                   "Orvalis.Simulator", "--port", QString::number(port)});
    // The server listens once the cameras are listed (an INDI server is asked for 2 s at most).
    std::unique_ptr<ProtocolClient> client;
    waitFor(
        [&] {
            client = std::make_unique<ProtocolClient>(port);
            return waitFor([&] { return client->connected(); }, 300);
        },
        20000);
    if (!startGuiding(*client)) {
        std::fprintf(stderr, "guiding did not start (see %s)\n",
                     qPrintable(home.filePath("stderr.txt")));
        home.setAutoRemove(false);
        return 1;
    }
    const qint64 pid = program.processId();
    client->forget();
    const double cpuBefore = cpuMs(pid);
    int frames = 0;
    QElapsedTimer window;
    window.start();
    waitFor(
        [&] {
            while (client->takeEvent(QStringLiteral("GuideStep")))
                ++frames;
            return window.elapsed() >= seconds * 1000;
        },
        seconds * 1000 + 1000);
    const double cpu = cpuMs(pid) - cpuBefore;
    std::printf("guided frames (1 s exposures)      %8d\n", frames);
    std::printf("CPU per frame, ms                  %8.2f\n", frames ? cpu / frames : 0.0);
    std::printf("resident memory now, MB            %8.1f\n", statusMb(pid, "VmRSS"));
    std::printf("resident memory peak, MB           %8.1f\n", statusMb(pid, "VmHWM"));
    QElapsedTimer stopping;
    stopping.start();
    ::kill(static_cast<pid_t>(pid), SIGTERM);
    const bool ended = program.waitForFinished(10000);
    std::printf("ended on SIGTERM after, ms         %8lld%s\n",
                static_cast<long long>(stopping.elapsed()), ended ? "" : " (still running)");
    std::printf("exit code                          %8d\n", program.exitCode());
    return ended ? 0 : 1;
}
