// Start-up time and idle memory of the main window on the real platform components.
//
// The bench starts itself again as a child process per run, so each run pays for the program's
// loading like a real start. The child builds the window exactly as the program does, notes
// the moment of its first paint, idles for two seconds and reports its resident memory.
//
//   startup_bench [runs]     (default 10; uses $DISPLAY, or QT_QPA_PLATFORM=offscreen)

#include "app/frmMain.h"
#include "app/real_platform.h"

#include "bench_util.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

class FirstPaint : public QObject {
public:
    double at = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && at == 0)
            at = nowMs();
        return false;
    }
};

int child(int fd, int argc, char** argv) {
    QApplication app(argc, argv);
    RealPlatform platform;
    frmMain window(platform.bundle());
    FirstPaint paint;
    window.installEventFilter(&paint);
    window.show();
    QTimer::singleShot(2000, &app, [&] {
        const long kb = static_cast<long>(residentMb() * 1024);
        dprintf(fd, "%.3f %ld\n", paint.at, kb);
        app.quit();
    });
    return app.exec();
}

struct Run {
    double startupMs;
    long rssKb;
};

bool runOnce(const char* self, Run& run) {
    int pipefd[2];
    if (pipe(pipefd) != 0)
        return false;
    const double started = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipefd[0]);
        const std::string fd = std::to_string(pipefd[1]);
        execl(self, self, "--child", fd.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipefd[1]);
    char buffer[128] = {};
    const ssize_t n = read(pipefd[0], buffer, sizeof buffer - 1);
    close(pipefd[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    double paintedAt = 0;
    if (n <= 0 || sscanf(buffer, "%lf %ld", &paintedAt, &run.rssKb) != 2 || paintedAt == 0)
        return false;
    run.startupMs = paintedAt - started;
    return true;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    if (argc >= 3 && std::string(argv[1]) == "--child")
        return child(std::atoi(argv[2]), argc, argv);

    const int runs = argc >= 2 ? std::max(1, std::atoi(argv[1])) : 10;
    QTemporaryDir config; // a fresh install: no settings yet
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    std::vector<double> times, rss;
    for (int i = 0; i < runs; ++i) {
        Run run{};
        if (!runOnce(argv[0], run)) {
            std::fprintf(stderr, "run %d failed\n", i + 1);
            return 1;
        }
        times.push_back(run.startupMs);
        rss.push_back(run.rssKb / 1024.0);
    }
    const QByteArray platform = qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
                                    ? QByteArray("xcb")
                                    : qgetenv("QT_QPA_PLATFORM");
    std::printf("platform: %s, runs: %d\n", platform.constData(), runs);
    std::printf("%-38s %10s %10s %10s\n", "measure", "median", "min", "max");
    std::printf("%-38s %10.1f %10.1f %10.1f\n", "process start to first paint (ms)", median(times),
                *std::min_element(times.begin(), times.end()),
                *std::max_element(times.begin(), times.end()));
    std::printf("%-38s %10.1f %10.1f %10.1f\n", "idle resident memory after 2 s (MB)", median(rss),
                *std::min_element(rss.begin(), rss.end()),
                *std::max_element(rss.begin(), rss.end()));
    return 0;
}
