// How well the loop holds the guide star on the sky simulator. A main window on fake platform
// components takes 2 s exposures on a virtual clock (0.5 s per timer tick) and guides through
// the simulated telescope. Settings are the program's defaults except the RA and Dec guide
// rates (15 arcsec/s, the simulator's) and Dec correction on. The sky: default drift (6 and
// 2 arcsec/min), RA periodic error of 10 arcsec peak to peak over 480 s, seeing 1.5 arcsec.
//
// Each cycle the star's true place (the simulator's, without seeing jitter) is compared with
// its place when the lock was taken: RA along East, Dec along North, in arcsec. The same run
// without guiding gives the unguided figures; removing a straight-line fit from those leaves
// what the mount does besides drifting. "measured" is the star's place from the target as the
// guider finds it (through seeing jitter and the centroid search), RA and Dec as above. "sd"
// is the spread about the mean. Unguided, the drift carries the star out of the frame after
// some 40 minutes; the lock is lost from then on, the true figures go on.
//
// The second table sets guiding as configured against the floor that seeing alone sets: the
// same run on a mount without drift or periodic error. RA and Dec are taken along the sky's
// East and North whatever the camera's angle; "true" is the simulator's place of the star,
// "seen" the guider's measured error; the ratios are each total over the floor's. The
// calibrated runs calibrate through the window first (typed rates 15 arcsec/s) and guide with
// "Use Calibration" ticked.
//
//   closed_loop_bench [cycles]     (default 2000)

#include "sim/mount_model.h"
#include "sim_session.h"

#include <QAction>
#include <QApplication>
#include <cstdlib>
#include <numbers>
#include <optional>

namespace {
constexpr double kPeakToPeak = 10; // arcsec

// The main sine's amplitude that makes the periodic error span `peakToPeak`.
double peAmplitudeFor(double peakToPeak, double period) {
    double low = 0, high = 0;
    for (int i = 0; i < 100000; ++i) {
        const double e = periodicError(period * i / 100000, 1, period);
        low = std::min(low, e);
        high = std::max(high, e);
    }
    return peakToPeak / (high - low);
}

SkyOptions skyOptions() {
    SkyOptions options;
    options.seeing = 1.5;
    options.peAmplitude = peAmplitudeFor(kPeakToPeak, options.pePeriod);
    return options;
}

struct Track {
    std::vector<double> ra, dec;         // true offset from the start, arcsec
    std::vector<double> raSeen, decSeen; // from the target as the guider finds it, arcsec
    int lostCycles = 0;
};

Track run(bool guide, int cycles) {
    auto clock = std::make_shared<ManualSimClock>(0);
    SimSession s(skyOptions(), clock);
    s.fp.store.set("Guiding Options", "Dec Correct", "1");
    s.fp.store.set("Camera Options", "Exposure", "2");
    frmMain& w = s.open();
    w.cmdPreview->click();
    runExposure(w, *clock);
    Track track;
    if (!s.lockOnGuideStar())
        return track;
    if (guide)
        w.cmdGuide->click();
    const QPointF start = s.sky.guideStarPosition();
    const double scale = s.sky.options().imageScale;
    for (int i = 0; i < cycles; ++i) {
        runExposure(w, *clock);
        const QPointF offset = (s.sky.guideStarPosition() - start) * scale;
        // Camera angle 0: East is +x, North is -y.
        track.ra.push_back(offset.x());
        track.dec.push_back(-offset.y());
        track.lostCycles += w.state.lockLost ? 1 : 0;
        // The star's place from the target as the guider sees it, the same way round.
        track.raSeen.push_back(-w.state.errX * w.state.arcsecPerPixelX);
        track.decSeen.push_back(w.state.errY * w.state.arcsecPerPixelY);
    }
    return track;
}

// One line of the second table.
struct Setup {
    const char* name;
    double cameraAngle = 0;            // degrees
    const char* minCorrection = "2.5"; // arcsec, as stored
    bool decCorrect = true;
    bool calibrate = false;
};

struct Figures {
    double ra = 0, dec = 0, seenRa = 0, seenDec = 0;
    double total() const { return std::hypot(ra, dec); }
    double seenTotal() const { return std::hypot(seenRa, seenDec); }
};

// Runs an exposure at a time until the calibration ends; false when it failed or never ends.
bool calibrate(SimSession& s, frmMain& w, ManualSimClock& clock) {
    if (!w.startCalibration())
        return false;
    for (int i = 0; i < 400 && w.calibrating(); ++i)
        runExposure(w, clock);
    if (w.calibrating() || !w.calibration() || !s.fp.messages.texts.isEmpty())
        return false;
    w.mnuUseCalibration->trigger();
    return true;
}

// Guided rms errors, arcsec along East and North; nullopt when the set-up could not guide.
std::optional<Figures> guidedFigures(const Setup& setup, bool mountError, int cycles) {
    SkyOptions options = skyOptions();
    options.cameraAngle = setup.cameraAngle;
    if (!mountError)
        options.raDrift = options.decDrift = options.peAmplitude = 0;
    auto clock = std::make_shared<ManualSimClock>(0);
    SimSession s(options, clock);
    s.fp.store.set("Guiding Options", "Dec Correct", setup.decCorrect ? "1" : "0");
    s.fp.store.set("Guiding Options", "Minumum Correction", setup.minCorrection);
    s.fp.store.set("Camera Options", "Exposure", "2");
    frmMain& w = s.open();
    w.cmdPreview->click();
    runExposure(w, *clock);
    if (!s.lockOnGuideStar() || (setup.calibrate && !calibrate(s, w, *clock)))
        return std::nullopt;
    w.cmdGuide->click();
    const double a = setup.cameraAngle * std::numbers::pi / 180;
    const QPointF east(std::cos(a), std::sin(a)), north(std::sin(a), -std::cos(a));
    const QPointF target(w.state.targetX, w.state.targetY);
    const double scale = options.imageScale;
    std::vector<double> ra, dec, seenRa, seenDec;
    for (int i = 0; i < cycles; ++i) {
        runExposure(w, *clock);
        const QPointF truth = (s.sky.guideStarPosition() - target) * scale;
        ra.push_back(QPointF::dotProduct(truth, east));
        dec.push_back(QPointF::dotProduct(truth, north));
        const QPointF seen = -QPointF(w.state.errX, w.state.errY) * scale;
        seenRa.push_back(QPointF::dotProduct(seen, east));
        seenDec.push_back(QPointF::dotProduct(seen, north));
    }
    return Figures{rootMeanSquare(ra), rootMeanSquare(dec), rootMeanSquare(seenRa),
                   rootMeanSquare(seenDec)};
}

void seeingFloorTable(int cycles) {
    const Setup setups[] = {
        {"defaults (Dec off)", 0, "2.5", false, false},
        {"defaults, Dec on", 0, "2.5", true, false},
        {"min 0.2, Dec on", 0, "0.2", true, false},
        {"calibrated, min 0.2, Dec on", 0, "0.2", true, true},
        {"camera 30 deg, defaults, Dec on", 30, "2.5", true, false},
        {"camera 30 deg, calibrated, min 0.2", 30, "0.2", true, true},
    };
    std::printf("\n%-36s %22s %22s %13s %11s\n", "guided rms (arcsec)", "true RA   Dec total",
                "seen RA   Dec total", "floor true/seen", "ratio t/s");
    for (const Setup& setup : setups) {
        const auto run = guidedFigures(setup, true, cycles);
        const auto floor = guidedFigures(setup, false, cycles);
        if (!run || !floor) {
            std::printf("%-36s could not lock or calibrate\n", setup.name);
            continue;
        }
        std::printf("%-36s %7.3f %6.3f %6.3f   %6.3f %6.3f %6.3f   %6.3f %6.3f   %5.2f %5.2f\n",
                    setup.name, run->ra, run->dec, run->total(), run->seenRa, run->seenDec,
                    run->seenTotal(), floor->total(), floor->seenTotal(),
                    run->total() / floor->total(), run->seenTotal() / floor->seenTotal());
    }
}

// The samples less their least-squares straight line over the sample number.
std::vector<double> withoutLine(const std::vector<double>& v) {
    const double n = static_cast<double>(v.size());
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        const double x = static_cast<double>(i);
        sx += x;
        sy += v[i];
        sxx += x * x;
        sxy += x * v[i];
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    const double offset = (sy - slope * sx) / n;
    std::vector<double> rest;
    for (size_t i = 0; i < v.size(); ++i)
        rest.push_back(v[i] - offset - slope * static_cast<double>(i));
    return rest;
}

void row(const char* name, const std::vector<double>& v) {
    double sum = 0, peak = 0;
    for (double s : v) {
        sum += s;
        peak = std::max(peak, std::abs(s));
    }
    const double mean = sum / static_cast<double>(v.size());
    const double rms = rootMeanSquare(v);
    std::printf("%-40s %8.3f %8.3f %8.3f %8.3f\n", name, rms, mean,
                std::sqrt(std::max(0.0, rms * rms - mean * mean)), peak);
}
} // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::max(10, std::atoi(argv[1])) : 2000;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const SkyOptions sky = skyOptions();
    std::printf("%d cycles of 2 s; periodic error %.1f\" p-p (main sine %.4f\") over %.0f s, "
                "seeing %.1f\", drift %.0f/%.0f \"/min\n",
                cycles, kPeakToPeak, sky.peAmplitude, sky.pePeriod, sky.seeing, sky.raDrift,
                sky.decDrift);
    const Track guided = run(true, cycles);
    const Track unguided = run(false, cycles);
    if (guided.ra.empty() || unguided.ra.empty()) {
        std::fprintf(stderr, "could not lock on the guide star\n");
        return 1;
    }
    std::printf("%-40s %8s %8s %8s %8s\n", "error (arcsec)", "rms", "mean", "sd", "max |e|");
    row("guided RA, true", guided.ra);
    row("guided Dec, true", guided.dec);
    row("guided RA, measured", guided.raSeen);
    row("guided Dec, measured", guided.decSeen);
    row("unguided RA, true", unguided.ra);
    row("unguided Dec, true", unguided.dec);
    row("unguided RA, true, drift line removed", withoutLine(unguided.ra));
    row("unguided Dec, true, drift line removed", withoutLine(unguided.dec));
    std::printf("cycles with the lock lost: guided %d, unguided %d\n", guided.lostCycles,
                unguided.lostCycles);
    seeingFloorTable(cycles);
    return 0;
}
