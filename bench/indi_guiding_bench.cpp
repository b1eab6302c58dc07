// How well the main window guides INDI's telescope simulator on the frames of INDI's CCD
// simulator, both under a real indiserver, in private PID and network namespaces (the program
// starts itself again inside them through tests/run_isolated.sh; everything it started ends
// with it). The sky: 1.19"/px (5.2 um pixels, 900 mm), 1 s exposures, the mount's guide rate
// 0.5 x sidereal (7.5"/s), slewed to Dec +30 so that it tracks, and a mount that errs in RA by
// a periodic error of 2" peak to peak over 60 s plus a drift of 0.01"/s (the bench's star
// catalogue, bench/indi_sky/gsc, moves the stars so). Each run starts indiserver afresh,
// chooses a star (Select Star Automatically, or the brightest star well inside the frame),
// calibrates, ticks "Use Calibration", guides for some minutes and then dithers through the
// guiding server as an imaging program does. Runs in real time: 8 minutes of guiding take
// about 12 minutes a run.
//
// Printed per run: the errors along the calibrated RA and Dec axes from the guide records (rms
// about the target, arcsec and px); the pulse lag, the share of a pulse's calibrated move that
// shows in the next frame and in the one after (see guide_analysis.h); the frames the
// calibration took; each dither's time to settle. With --slew: the RMS where guiding started,
// after the slew and after the meridian flip, each beside the first.
//
//   indi_guiding_bench [--aggressiveness 100,70] [--law Predictive] [--minutes 8] [options]
//   (--help lists them)

#include "guide_analysis.h"
#include "indi_guiding_report.h"

#include <QApplication>
#include <QCommandLineParser>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
constexpr const char* kInside = "ORVALIS_INDI_BENCH_ISOLATED";

// Starts this program again in private namespaces; returns only when that could not be done.
int runIsolated(char** argv) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0)
        return 1;
    self[n] = 0;
    std::vector<char*> args{const_cast<char*>(ORVALIS_RUN_ISOLATED), self};
    for (char** a = argv + 1; *a; ++a)
        args.push_back(*a);
    args.push_back(nullptr);
    ::setenv(kInside, "1", 1);
    ::execv(ORVALIS_RUN_ISOLATED, args.data());
    std::perror(ORVALIS_RUN_ISOLATED);
    return 1;
}

struct Options {
    std::vector<int> aggressiveness{100, 70};
    BenchSettings settings;
    BenchSky sky;
    QString recordsDir;
};

// A number on the command line: its name, help, default, and where it goes in the options.
struct NumberFlag {
    const char* name;
    const char* what;
    double value;
    void (*set)(Options&, double);
};

std::vector<NumberFlag> numberFlags(const Options& o) {
    const BenchSettings& s = o.settings;
    const BenchSky& sky = o.sky;
    return {
        {"minutes", "Minutes of guiding", s.guideMinutes,
         [](Options& to, double v) { to.settings.guideMinutes = v; }},
        {"pixel-size", "Pixel size, um", s.pixelSizeUm,
         [](Options& to, double v) { to.settings.pixelSizeUm = v; }},
        {"focal-length", "Focal length, mm", s.focalLengthMm,
         [](Options& to, double v) { to.settings.focalLengthMm = v; }},
        {"ra-rate", "RA guide rate typed, arcsec/s", s.raGuideRate,
         [](Options& to, double v) { to.settings.raGuideRate = v; }},
        {"dec-rate", "Dec guide rate typed, arcsec/s", s.decGuideRate,
         [](Options& to, double v) { to.settings.decGuideRate = v; }},
        {"assistant", "Seconds of guiding assistant, its advice applied (0: none)", 0,
         [](Options& to, double v) { to.settings.assistantSec = v; }},
        {"dec-correct", "Dec corrections (0 or 1)", 1,
         [](Options& to, double v) { to.settings.decCorrect = v != 0; }},
        {"use-calibration", "Use Calibration (0 or 1)", 1,
         [](Options& to, double v) { to.settings.useCalibration = v != 0; }},
        {"min-correction", "Minimum correction, arcsec", s.minCorrectionArcsec,
         [](Options& to, double v) { to.settings.minCorrectionArcsec = v; }},
        {"max-correction", "Maximum correction, arcsec", s.maxCorrectionArcsec,
         [](Options& to, double v) { to.settings.maxCorrectionArcsec = v; }},
        {"exposure", "Exposure, whole seconds", double(s.exposureSec),
         [](Options& to, double v) { to.settings.exposureSec = static_cast<int>(v); }},
        {"dithers", "Dithers after guiding", double(s.dithers),
         [](Options& to, double v) { to.settings.dithers = static_cast<int>(v); }},
        {"dither-px", "Dither amount, px", s.ditherPx,
         [](Options& to, double v) { to.settings.ditherPx = v; }},
        {"settle-px", "Settled within, px", s.settle.pixels,
         [](Options& to, double v) { to.settings.settle.pixels = v; }},
        {"settle-time", "Settled for, whole seconds", double(s.settle.timeSec),
         [](Options& to, double v) { to.settings.settle.timeSec = static_cast<int>(v); }},
        {"settle-timeout", "Settle time-out, whole seconds", double(s.settle.timeoutSec),
         [](Options& to, double v) { to.settings.settle.timeoutSec = static_cast<int>(v); }},
        {"pe", "Periodic error peak to peak, arcsec", sky.pePeakToPeak,
         [](Options& to, double v) { to.sky.pePeakToPeak = v; }},
        {"pe-period", "Periodic error's period, s", sky.pePeriodSec,
         [](Options& to, double v) { to.sky.pePeriodSec = v; }},
        {"drift", "RA drift, arcsec/s", sky.driftArcsecPerSec,
         [](Options& to, double v) { to.sky.driftArcsecPerSec = v; }},
        {"dec", "Dec the mount is slewed to first, degrees", sky.decDeg,
         [](Options& to, double v) { to.sky.decDeg = v; }},
        {"slew",
         "After guiding: a slew by this in Dec, guiding, a meridian flip, guiding "
         "(0: none)",
         s.slewDecDeg, [](Options& to, double v) { to.settings.slewDecDeg = v; }},
        {"mount-poll", "Telescope simulator's update period, ms (0: its own, 250)",
         double(sky.mountPollMs),
         [](Options& to, double v) { to.sky.mountPollMs = static_cast<int>(v); }},
    };
}

std::optional<Options> parseOptions(const QApplication& app) {
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Guides INDI's simulators with the main window."));
    p.addHelpOption();
    const QCommandLineOption aggressiveness(
        QStringLiteral("aggressiveness"),
        QStringLiteral("Percentages, one run each (default 100,70)"), QStringLiteral("list"),
        QStringLiteral("100,70"));
    const QCommandLineOption records(QStringLiteral("records"),
                                     QStringLiteral("Writes each run's guide records as CSV here"),
                                     QStringLiteral("folder"));
    const QCommandLineOption law(QStringLiteral("law"),
                                 QStringLiteral("Guide law of both axes (default Standard)"),
                                 QStringLiteral("name"), QStringLiteral("Standard"));
    p.addOptions({aggressiveness, records, law});
    Options o;
    const std::vector<NumberFlag> flags = numberFlags(o);
    for (const NumberFlag& f : flags)
        p.addOption({QString::fromLatin1(f.name),
                     QStringLiteral("%1 (default %2)").arg(QLatin1String(f.what)).arg(f.value),
                     QStringLiteral("value"), QString::number(f.value)});
    p.process(app);
    for (const NumberFlag& f : flags)
        f.set(o, p.value(QString::fromLatin1(f.name)).toDouble());
    o.aggressiveness.clear();
    for (const QString& a : p.value(aggressiveness).split(QLatin1Char(',')))
        if (const int v = a.trimmed().toInt(); v > 0)
            o.aggressiveness.push_back(v);
    o.recordsDir = p.value(records);
    o.settings.law = p.value(law);
    const BenchSettings& s = o.settings;
    if (o.aggressiveness.empty() || s.exposureSec < 1 || s.guideMinutes <= 0)
        return std::nullopt;
    return o;
}
} // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet(kInside))
        return runIsolated(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const std::optional<Options> o = parseOptions(app);
    if (!o) {
        std::fprintf(stderr, "aggressiveness, exposure (>= 1 s) and minutes must be given\n");
        return 2;
    }
    const BenchSettings& s = o->settings;
    const double scale = 206.265 * s.pixelSizeUm / s.focalLengthMm;
    std::printf("INDI simulators: %.2f\"/px, %d s exposures, guide rate %.2f x sidereal, "
                "PE %.1f\" p-p over %.0f s, drift %.3f\"/s, Dec %+.0f, mount ticks %s\n",
                scale, s.exposureSec, o->sky.guideRate, o->sky.pePeakToPeak, o->sky.pePeriodSec,
                o->sky.driftArcsecPerSec, o->sky.decDeg,
                o->sky.mountPollMs > 0 ? qPrintable(QStringLiteral("%1 ms").arg(o->sky.mountPollMs))
                                       : "250 ms (its own)");
    std::printf("guide law: %s\n", qPrintable(s.law));
    std::printf("settings: guide rates %.2f/%.2f\"/s, Dec corrections %s, Use Calibration %s, "
                "min %.2f\", max %.1f\"; %.1f min guiding; %d dithers of %.1f px\n",
                s.raGuideRate, s.decGuideRate, s.decCorrect ? "on" : "off",
                s.useCalibration ? "on" : "off", s.minCorrectionArcsec, s.maxCorrectionArcsec,
                s.guideMinutes, s.dithers, s.ditherPx);
    std::fflush(stdout);
    std::vector<RunFigures> runs;
    for (const int aggressiveness : o->aggressiveness) {
        BenchSettings settings = s;
        settings.aggressiveness = aggressiveness;
        runs.push_back(figuresOf(aggressiveness, runIndiGuiding(settings, o->sky)));
        for (const QString& line : runs.back().run.assistantReport)
            std::printf("assistant: %s\n", qPrintable(line));
        if (!runs.back().run.lawGuided.isEmpty())
            std::printf("guided with: %s\n", qPrintable(runs.back().run.lawGuided));
        printRun(runs.back(), settings);
        if (!o->recordsDir.isEmpty() && runs.back().run.calibration) {
            const QString path =
                QStringLiteral("%1/guide_%2.csv").arg(o->recordsDir).arg(aggressiveness);
            if (!writeRecords(path, runs.back().run.guided, *runs.back().run.calibration))
                std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        }
        std::fflush(stdout);
    }
    printSummary(runs, s);
    const bool complete = std::all_of(runs.begin(), runs.end(),
                                      [](const RunFigures& f) { return f.run.problem.isEmpty(); });
    return complete ? 0 : 1;
}
