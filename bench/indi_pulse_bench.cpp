// How long PulseGuide blocks its caller on an INDI mount: the call returns once the server has
// taken the pulse on, so this is the round trip to the driver, not the pulse itself.
//
//   indiserver -p 7624 indi_simulator_telescope &
//   indi_pulse_bench [indi://localhost:7624/Telescope%20Simulator] [runs]   (default 20)

#include "bench_util.h"
#include "platform/telescope/indi_telescope.h"

#include <QCoreApplication>
#include <QThread>

namespace {
void pulseRow(IndiTelescope& mount, int direction, double ms, int runs) {
    std::vector<double> blocked;
    for (int i = 0; i < runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        mount.PulseGuide(direction, ms);
        blocked.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        // Let the pulse end before the next one, as a guide cycle would.
        QThread::msleep(static_cast<unsigned long>(ms) + 50);
    }
    std::sort(blocked.begin(), blocked.end());
    std::printf("%-44s %10.3f %10.3f %10.3f\n",
                qPrintable(QStringLiteral("PulseGuide(%1, %2 ms) blocks").arg(direction).arg(ms)),
                blocked[blocked.size() / 2], blocked.front(), blocked.back());
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QString id = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                : QStringLiteral("indi://localhost:7624/Telescope%20Simulator");
    const int runs = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    const std::optional<IndiAddress> address = parseIndiIdentifier(id);
    if (!address) {
        std::fprintf(stderr, "not an INDI mount identifier: %s\n", qPrintable(id));
        return 2;
    }
    try {
        IndiTelescope mount(*address);
        timeHeader();
        timeRow("setConnected(true)", 1, [&] { mount.setConnected(true); });
        pulseRow(mount, guideNorth, 500, runs);
        pulseRow(mount, guideSouth, 500, runs);
        pulseRow(mount, guideEast, 100, runs);
        pulseRow(mount, guideWest, 100, runs);
        timeRow("setConnected(false)", 1, [&] { mount.setConnected(false); });
    } catch (const TelescopeError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
