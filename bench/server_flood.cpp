#include "server_flood.h"

#include "bench_util.h"
#include "line_client.h"
#include "sim_session.h"

#include "server/server_link.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

// The longest time between two passes of the event loop since it was made, ms.
class LoopGaps {
public:
    LoopGaps() { post(); }
    double longestMs = 0;

private:
    void post() {
        QTimer::singleShot(0, &context_, [this] {
            const auto now = Clock::now();
            longestMs =
                std::max(longestMs, std::chrono::duration<double, std::milli>(now - last_).count());
            last_ = now;
            post();
        });
    }
    QObject context_;
    Clock::time_point last_ = Clock::now();
};

// Runs `work` on a thread while the window's event loop runs, `onPass` after each pass.
void whileServing(const std::function<void()>& work, const std::function<void()>& onPass = {}) {
    std::atomic<bool> done = false;
    std::thread client([&] {
        work();
        done = true;
    });
    while (!done) {
        QApplication::processEvents(QEventLoop::AllEvents, 1);
        if (onPass)
            onPass();
    }
    client.join();
}

std::string batchOf(const char* method, const char* params, int count, int& id) {
    std::string line = "[";
    for (int n = 0; n < count; ++n) {
        line += n ? "," : "";
        line.append("{\"method\":\"").append(method).append("\",\"params\":").append(params);
        line.append(",\"id\":").append(std::to_string(id++)).append("}");
    }
    return line.append("]\r\n");
}

// Writes `text` from one thread while this one reads; true once `answers` batch answers came.
bool floodFrom(LineClient& c, const std::string& text, int answers) {
    std::thread writer([&] { c.write(text); });
    int got = 0;
    while (got < answers) {
        const std::string l = c.line();
        if (l.empty())
            break;
        got += l[0] == '[' ? 1 : 0;
    }
    writer.join();
    return got == answers;
}

SimSession& serving(std::unique_ptr<SimSession>& s, std::shared_ptr<ManualSimClock> clock) {
    s = std::make_unique<SimSession>(SkyOptions{}, std::move(clock));
    s->fp.store.set("Server Options", "Enabled", "1");
    s->fp.store.set("Server Options", "Port", "0");
    s->open();
    return *s;
}

// One row: the longest hold while 16 lines of 64 `method` requests are answered.
bool holdRow(frmMain& w, const char* label, const char* method, const char* params) {
    int id = 1;
    std::string flood;
    for (int n = 0; n < 16; ++n)
        flood += batchOf(method, params, 64, id);
    LoopGaps gaps;
    bool answered = false;
    const auto start = Clock::now();
    whileServing([&] {
        LineClient c(w.server()->events().port());
        answered = c.ok() && floodFrom(c, flood, 16);
    });
    std::printf("  %-40s %10.3f %10.1f\n", label, gaps.longestMs, millisecondsSince(start));
    return answered;
}
} // namespace

bool floodHold() {
    std::printf("longest window hold in one pass, 16 lines of 64 batched requests (ms)\n");
    std::printf("  %-40s %10s %10s\n", "", "hold", "all done");
    auto clock = std::make_shared<ManualSimClock>(0);
    std::unique_ptr<SimSession> looping;
    frmMain& w = *serving(looping, clock).window;
    w.cmdPreview->click();
    runExposure(w, *clock);
    w.HalfSecTimer->setInterval(24 * 3600 * 1000);
    if (!holdRow(w, "find_star, looping", "find_star", "[]"))
        return false;
    clock = std::make_shared<ManualSimClock>(0);
    std::unique_ptr<SimSession> guiding;
    frmMain& g = *serving(guiding, clock).window;
    if (!startGuiding(*guiding, clock.get()))
        return false;
    g.HalfSecTimer->setInterval(24 * 3600 * 1000);
    return holdRow(g, "set_exposure, guiding", "set_exposure", "[2000]");
}

bool floodCycleDelay(int seconds) {
    std::unique_ptr<SimSession> s;
    frmMain& w = *serving(s, nullptr).window;
    if (!startGuiding(*s, nullptr))
        return false;
    // A cycle's lateness: how far its tick came after 500 ms from the tick before it. The
    // window's timer is a coarse one, late by up to 5 %; a precise one here shows the server's
    // share alone.
    std::vector<double> quiet, late;
    Clock::time_point previous{};
    bool flooding = false;
    QObject::connect(w.HalfSecTimer, &QTimer::timeout, [&] {
        const auto now = Clock::now();
        if (w.state.elapsedSec == 0 && previous != Clock::time_point{})
            (flooding ? late : quiet)
                .push_back(std::chrono::duration<double, std::milli>(now - previous).count() -
                           500.0);
        previous = now;
    });
    w.HalfSecTimer->setTimerType(Qt::PreciseTimer);
    w.HalfSecTimer->start();
    const auto calm = Clock::now();
    while (millisecondsSince(calm) < 1000.0 * seconds)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    std::atomic<bool> stop = false, written = false;
    std::atomic<int> batches = 0, got = 0;
    LoopGaps gaps;
    flooding = true;
    whileServing([&] {
        LineClient c(w.server()->events().port());
        int id = 1;
        std::thread writer([&] {
            while (!stop && c.write(batchOf("set_exposure", "[1000]", 64, id)))
                ++batches;
            written = true;
        });
        // Events keep coming each cycle, so the reader sees the end.
        std::thread reader([&] {
            for (std::string l = c.line(); !l.empty(); l = c.line()) {
                got += l[0] == '[' ? 1 : 0;
                if (written && got >= batches)
                    return;
            }
        });
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        stop = true;
        writer.join();
        reader.join();
    });
    const bool answered = got == batches;
    std::printf("guiding, 1 s exposures, %d s of batches of 64 set_exposure without pause: "
                "%d batches (%d requests) answered\n",
                seconds, batches.load(), batches * 64);
    spreadRow("  cycle tick lateness, no flood (precise timer)", quiet);
    spreadRow("  cycle tick lateness under the flood", late);
    std::printf("  %-42s %10.3f\n", "longest window hold (cycles included)", gaps.longestMs);
    return answered && !late.empty();
}

namespace {
// `clients` clients each flood 16 KB lines. Reading: they read the answers as they come, 1,000
// lines each; not reading: they write until the server has made them wait 1 s, then hang up.
void memoryRow(quint16 port, int clients, bool reading, bool print = true) {
    const std::string line = "{\"method\":\"get_app_state\",\"params\":[\"" +
                             std::string(16 * 1024 - 64, 'x') + "\"],\"id\":1}\n";
    constexpr int kLines = 1000;
    const double idle = residentMb();
    double peak = idle;
    std::atomic<int> answered = 0;
    whileServing(
        [&] {
            std::vector<std::thread> threads;
            for (int n = 0; n < clients; ++n)
                threads.emplace_back([&] {
                    LineClient c(port);
                    if (!reading) {
                        c.setSendTimeout(1000);
                        while (c.write(line)) {
                        }
                        return;
                    }
                    std::thread writer([&] {
                        for (int i = 0; i < kLines && c.write(line); ++i) {
                        }
                    });
                    int got = 0;
                    while (got < kLines) {
                        const std::string l = c.line();
                        if (l.empty())
                            break;
                        got += l.find("\"result\"") != std::string::npos ? 1 : 0;
                    }
                    writer.join();
                    answered += got;
                });
            for (std::thread& t : threads)
                t.join();
        },
        [&] { peak = std::max(peak, residentMb()); });
    const auto end = Clock::now();
    while (millisecondsSince(end) < 1000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    const double after = residentMb();
    if (!print)
        return;
    char label[80];
    std::snprintf(label, sizeof label, "%d client%s, %s", clients, clients > 1 ? "s" : "",
                  reading ? "reading the answers" : "not reading, hanging up");
    std::printf("  %-40s %10.1f %10.1f", label, peak - idle, after - idle);
    if (reading)
        std::printf("   %d of %d answered", answered.load(), clients * kLines);
    std::printf("\n");
}
} // namespace

bool floodMemory() {
    std::unique_ptr<SimSession> s;
    frmMain& w = *serving(s, nullptr).window;
    const quint16 port = w.server()->events().port();
    // Settled allocations first: one small flood that is not measured.
    memoryRow(port, 1, true, false);
    std::printf("resident memory above idle under a flood of 16 KB lines (MB)\n");
    std::printf("  %-40s %10s %10s\n", "", "peak", "after");
    for (const bool reading : {true, false})
        for (const int clients : {1, 10})
            memoryRow(port, clients, reading);
    return true;
}
