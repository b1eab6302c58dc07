// How quickly the guiding server answers imaging programs, and what a flood of requests costs
// the guide cycle. The window runs on the sky simulator and the simulated telescope; the
// client is a plain blocking socket on its own thread, so the figures include the loopback
// round trip but none of the client's own event handling.
//
// (a) Reply time, request written to response read, with no guide cycle running: stopped,
//     then locked and guiding between two cycles (the exposure timer holds). One request at a
//     time, as Ekos sends them: the state poll pair, the per-frame star image and lock
//     position, and the equipment query.
// (b) A burst of 1,000 requests in one write, 1 to 20 ms before the tick that ends an exposure
//     is due, while guiding on wall time with 1 s exposures: how late that guide cycle's tick
//     came (against 500 ms after the tick before it) compared with cycles no burst preceded,
//     and how long the whole burst took to be answered. The exposure timer is a coarse Qt
//     timer, so ticks vary by a few ms without any burst.
//
// (c), (d), (e): floods, see server_flood.h.
//
//   server_bench [samples] [bursts] [flood seconds]     (defaults 500, 20 and 10)
// Uses $DISPLAY when set, the offscreen platform otherwise.

#include "line_client.h"
#include "server_flood.h"
#include "sim_session.h"

#include "server/server_link.h"

#include <QApplication>
#include <QTimer>
#include <atomic>
#include <cstdlib>
#include <string>
#include <thread>

namespace {
using Clock = std::chrono::steady_clock;

std::string request(const char* method, const char* params, int id) {
    std::string text = std::string("{\"id\":") + std::to_string(id) +
                       ",\"jsonrpc\":\"2.0\",\"method\":\"" + method + "\"";
    if (*params)
        text += std::string(",\"params\":") + params;
    return text + "}\r\n";
}

// Runs `work` on a thread while the window's event loop runs; returns when it is done.
void whileLooping(const std::function<void()>& work) {
    std::atomic<bool> done = false;
    std::thread client([&] {
        work();
        done = true;
    });
    while (!done)
        QApplication::processEvents(QEventLoop::AllEvents, 1);
    client.join();
}

struct Method {
    const char* name;
    const char* params;
};
const Method kMethods[] = {{"get_connected", ""},
                           {"get_app_state", ""},
                           {"get_star_image", "[32]"},
                           {"get_lock_position", ""},
                           {"get_current_equipment", ""}};

void replyTimes(quint16 port, int samples, const char* label) {
    std::printf("%s\n", label);
    whileLooping([&] {
        LineClient c(port);
        if (!c.ok())
            return;
        int id = 1;
        for (const Method& m : kMethods) {
            std::vector<double> ms;
            for (int i = 0; i < samples; ++i) {
                const auto start = Clock::now();
                c.write(request(m.name, m.params, id));
                if (!c.awaitResponse(id++))
                    return;
                ms.push_back(millisecondsSince(start));
            }
            const std::string row = std::string("  ") + m.name + " " + m.params;
            spreadRow(row.c_str(), ms);
            std::printf("  %-42s %10.3f\n", "  99th percentile", percentile(ms, 99));
        }
    });
}

// Part (a): a virtual clock, and ticks that never end the exposure.
bool partA(int samples) {
    auto clock = std::make_shared<ManualSimClock>(0);
    SimSession s({}, clock);
    s.fp.store.set("Server Options", "Enabled", "1");
    s.fp.store.set("Server Options", "Port", "0");
    frmMain& w = s.open();
    const quint16 port = w.server()->events().port();
    replyTimes(port, samples, "stopped");
    if (!startGuiding(s, clock.get()))
        return false;
    w.HalfSecTimer->setInterval(24 * 3600 * 1000);
    replyTimes(port, samples, "guiding, between cycles");
    return true;
}

// One timer tick: when it came, and whether it ended an exposure (ran the guide cycle).
struct Tick {
    Clock::time_point at;
    bool cycle;
};

bool partB(int bursts) {
    SimSession s({});
    s.fp.store.set("Server Options", "Enabled", "1");
    s.fp.store.set("Server Options", "Port", "0");
    frmMain& w = s.open();
    if (!startGuiding(s, nullptr))
        return false;
    std::vector<Tick> ticks;
    // The last tick that did not end an exposure, steady-clock ns: the cycle's tick is due
    // 500 ms after it.
    std::atomic<Clock::rep> midTick = 0;
    // Connected after the window's own handler: the tick has run by then.
    QObject::connect(w.HalfSecTimer, &QTimer::timeout, [&] {
        const Tick tick{Clock::now(), w.state.elapsedSec == 0};
        ticks.push_back(tick);
        if (!tick.cycle)
            midTick = tick.at.time_since_epoch().count();
    });
    w.HalfSecTimer->start();
    std::vector<Clock::time_point> sent;
    std::vector<double> answered;
    whileLooping([&] {
        LineClient c(w.server()->events().port());
        const int leadsMs[] = {1, 5, 10, 20};
        int id = 1;
        for (int b = 0; b < bursts && c.ok(); ++b) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1200));
            const Clock::rep seen = midTick;
            while (midTick == seen)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            const Clock::time_point due =
                Clock::time_point(Clock::duration(midTick.load())) + std::chrono::milliseconds(500);
            std::string burst;
            for (int n = 0; n < 1000; ++n)
                burst += request(kMethods[n % 5].name, kMethods[n % 5].params, id++);
            std::this_thread::sleep_until(due - std::chrono::milliseconds(leadsMs[b % 4]));
            const auto start = Clock::now();
            sent.push_back(start);
            c.write(burst);
            if (!c.awaitResponse(id - 1))
                return;
            answered.push_back(millisecondsSince(start));
        }
    });
    // A cycle's lateness: how far its tick came after 500 ms from the tick before it.
    std::vector<double> quiet, afterBurst;
    size_t next = 0;
    for (size_t i = 1; i < ticks.size(); ++i) {
        if (!ticks[i].cycle)
            continue;
        const double late =
            std::chrono::duration<double, std::milli>(ticks[i].at - ticks[i - 1].at).count() -
            500.0;
        bool burstBefore = false;
        while (next < sent.size() && sent[next] < ticks[i].at) {
            burstBefore = true;
            ++next;
        }
        (burstBefore ? afterBurst : quiet).push_back(late);
    }
    std::printf("guiding, 1 s exposures, %zu bursts of 1,000 requests, each 1 to 20 ms before "
                "a cycle's tick was due\n",
                answered.size());
    spreadRow("  cycle tick lateness, no burst before", quiet);
    spreadRow("  cycle tick lateness, burst just before", afterBurst);
    spreadRow("  whole burst answered", answered);
    return !answered.empty();
}
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int samples = argc > 1 ? std::atoi(argv[1]) : 500;
    const int bursts = argc > 2 ? std::atoi(argv[2]) : 20;
    const int floodSeconds = argc > 3 ? std::atoi(argv[3]) : 10;
    timeHeader();
    if (!partA(samples) || !partB(bursts)) {
        std::fprintf(stderr, "the window did not lock on the simulator's guide star\n");
        return 1;
    }
    if (!floodHold() || !floodCycleDelay(floodSeconds)) {
        std::fprintf(stderr, "a flood was not answered in full\n");
        return 1;
    }
    floodMemory();
    return 0;
}
