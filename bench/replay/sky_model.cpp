#include "sky_model.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <random>
#include <sstream>

namespace {
constexpr double kTwoPi = 2 * std::numbers::pi;

// Harmonics of the worm period: amplitude shares and phases, summed to the peak to peak asked.
struct PeriodicError {
    std::vector<double> amplitude, phase;
    double period;

    PeriodicError(double peakToPeak, double periodSec, std::mt19937& rng) : period(periodSec) {
        std::uniform_real_distribution<double> turn(0, kTwoPi);
        const double shares[] = {1.0, 0.45, 0.25, 0.12};
        for (double share : shares) {
            amplitude.push_back(share);
            phase.push_back(turn(rng));
        }
        double lo = 0, hi = 0;
        for (double t = 0; t < period; t += period / 2000) {
            lo = std::min(lo, rawAt(t));
            hi = std::max(hi, rawAt(t));
        }
        const double scale = hi > lo ? peakToPeak / (hi - lo) : 0;
        for (double& a : amplitude)
            a *= scale;
    }
    double rawAt(double t) const {
        double sum = 0;
        for (size_t h = 0; h < amplitude.size(); ++h)
            sum += amplitude[h] *
                   std::sin(kTwoPi * static_cast<double>(h + 1) * t / period + phase[h]);
        return sum;
    }
};

// Seeing: an AR(1) series with the frame-to-frame rms asked (the rms of differences / sqrt 2).
struct Seeing {
    double rho, sigma, value = 0;
    std::normal_distribution<double> n{0, 1};
    // Differences of an AR(1) series of variance s^2 have variance 2 s^2 (1 - rho).
    Seeing(double frameToFrame, double correlation, std::mt19937& rng) : rho(correlation) {
        sigma = frameToFrame / std::sqrt(1 - rho);
        value = sigma * n(rng);
    }
    double next(std::mt19937& rng) {
        value = rho * value + std::sqrt(1 - rho * rho) * sigma * n(rng);
        return value;
    }
};
} // namespace

std::vector<SkyRow> makeSky(const SkyRecipe& r) {
    std::mt19937 rng(r.seed);
    std::normal_distribution<double> normal(0, 1);
    std::uniform_real_distribution<double> uniform(0, 1);
    PeriodicError pe(r.peakToPeak, r.wormPeriod, rng);
    Seeing seeRa(r.seeing, r.seeingCorrelation, rng), seeDec(r.seeing, r.seeingCorrelation, rng);
    std::vector<SkyRow> rows;
    double wanderRa = 0, wanderDec = 0, ditherRa = 0, ditherDec = 0, nextDither = r.ditherEvery;
    int gustLeft = 0;
    double gustRa = 0, gustDec = 0;
    for (double t = 0; t < r.seconds; t += r.cycle * (0.97 + 0.06 * uniform(rng))) {
        const double step = std::sqrt(r.cycle / 60) * r.wanderPx;
        wanderRa += step * normal(rng);
        wanderDec += step * normal(rng);
        if (r.ditherEvery > 0 && t >= nextDither) {
            ditherRa += r.ditherPx * (2 * uniform(rng) - 1);
            ditherDec += r.ditherPx * (2 * uniform(rng) - 1);
            nextDither += r.ditherEvery;
        }
        if (gustLeft == 0 && uniform(rng) < r.gustsPerHour * r.cycle / 3600) {
            gustLeft = 1 + static_cast<int>(uniform(rng) * 3);
            gustRa = r.gustPx * (2 * uniform(rng) - 1);
            gustDec = 0.5 * r.gustPx * (2 * uniform(rng) - 1);
        }
        const double gust = gustLeft > 0 ? 1 : 0;
        gustLeft = std::max(gustLeft - 1, 0);
        SkyRow row;
        row.t = t;
        row.ra = pe.rawAt(t) + r.raDrift * t / 60 + wanderRa + ditherRa + gust * gustRa +
                 seeRa.next(rng);
        row.dec = r.decDrift * t / 60 + wanderDec + ditherDec + gust * gustDec + seeDec.next(rng);
        rows.push_back(row);
    }
    return rows;
}

std::vector<SkyRecipe> standardSkies() {
    // Fields in declaration order; the rest keep their defaults. Two have 10" of periodic
    // error at 1.5"/px: a worm of 100 s guided at 1 s, one of 200 s at 3 s. The last has 10"
    // at 1"/px on a 100 s worm guided at 2 s, where the mount moves more than the seeing from
    // frame to frame.
    return {
        {.name = "calm_slow_worm", .peakToPeak = 3, .decDrift = 0.3, .seeing = 0.25, .seed = 11},
        {.name = "average_night", .peakToPeak = 6, .raDrift = 0.2, .seeing = 0.5, .seed = 12},
        {.name = "fast_worm",
         .cycle = 1,
         .wormPeriod = 100,
         .peakToPeak = 2.5,
         .seeing = 0.3,
         .seed = 13},
        {.name = "poor_seeing",
         .cycle = 3,
         .wormPeriod = 600,
         .peakToPeak = 4,
         .seeing = 1.0,
         .seeingCorrelation = 0.5,
         .seed = 14},
        {.name = "dithers_and_gusts",
         .wormPeriod = 240,
         .peakToPeak = 5,
         .seeing = 0.4,
         .gustsPerHour = 20,
         .ditherEvery = 120,
         .ditherPx = 5,
         .seed = 15},
        {.name = "dec_wander",
         .wormPeriod = 300,
         .peakToPeak = 1.5,
         .decDrift = 0,
         .wanderPx = 0.4,
         .seeing = 0.35,
         .seed = 16},
        {.name = "large_error_short_worm",
         .cycle = 1,
         .wormPeriod = 100,
         .peakToPeak = 6.7,
         .seeing = 0.3,
         .seed = 17},
        {.name = "large_error_long_frames",
         .cycle = 3,
         .wormPeriod = 200,
         .peakToPeak = 6.7,
         .seeing = 0.3,
         .seed = 18},
        {.name = "large_error_fast_worm",
         .cycle = 2,
         .wormPeriod = 100,
         .peakToPeak = 10,
         .seeing = 0.4,
         .seed = 25},
    };
}

SkyRow seeingFloor(const SkyRecipe& recipe) {
    // The seeing draws its numbers whatever its size: the same sky without it differs from
    // the sky by the seeing alone.
    SkyRecipe still = recipe;
    still.seeing = 0;
    const std::vector<SkyRow> sky = makeSky(recipe), without = makeSky(still);
    const double rho = recipe.seeingCorrelation;
    SkyRow sum, last;
    for (size_t i = 0; i < sky.size(); ++i) {
        const SkyRow s{0, sky[i].ra - without[i].ra, sky[i].dec - without[i].dec};
        sum.ra += (s.ra - rho * last.ra) * (s.ra - rho * last.ra);
        sum.dec += (s.dec - rho * last.dec) * (s.dec - rho * last.dec);
        last = s;
    }
    const double n = static_cast<double>(std::max<size_t>(sky.size(), 1));
    return {0, std::sqrt(sum.ra / n), std::sqrt(sum.dec / n)};
}

SkyRow frameToFrameRms(const std::vector<SkyRow>& rows) {
    SkyRow sum;
    for (size_t i = 1; i < rows.size(); ++i) {
        sum.ra += (rows[i].ra - rows[i - 1].ra) * (rows[i].ra - rows[i - 1].ra);
        sum.dec += (rows[i].dec - rows[i - 1].dec) * (rows[i].dec - rows[i - 1].dec);
    }
    const double pairs = 2.0 * static_cast<double>(std::max<size_t>(rows.size(), 2) - 1);
    return {0, std::sqrt(sum.ra / pairs), std::sqrt(sum.dec / pairs)};
}

bool writeSky(const std::string& path, const std::vector<SkyRow>& rows) {
    std::ofstream out(path);
    out << "t_s,ra_px,dec_px\n";
    out.setf(std::ios::fixed);
    out.precision(3);
    for (const SkyRow& r : rows)
        out << r.t << ',' << r.ra << ',' << r.dec << '\n';
    return static_cast<bool>(out);
}

std::vector<SkyRow> readSky(const std::string& path, std::string& error) {
    std::ifstream in(path);
    if (!in) {
        error = "cannot open " + path;
        return {};
    }
    std::string line;
    std::getline(in, line);
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    if (line != "t_s,ra_px,dec_px") {
        error = path + ": the first line must be t_s,ra_px,dec_px";
        return {};
    }
    std::vector<SkyRow> rows;
    for (int number = 2; std::getline(in, line); ++number) {
        if (line.empty() || line == "\r")
            continue;
        std::istringstream fields(line);
        SkyRow row;
        char c1 = 0, c2 = 0;
        if (!(fields >> row.t >> c1 >> row.ra >> c2 >> row.dec) || c1 != ',' || c2 != ',' ||
            !std::isfinite(row.t) || !std::isfinite(row.ra) || !std::isfinite(row.dec) ||
            (!rows.empty() && row.t <= rows.back().t)) {
            error = path + ": line " + std::to_string(number) + " is not t_s,ra_px,dec_px";
            return {};
        }
        rows.push_back(row);
    }
    if (rows.empty())
        error = path + ": no rows";
    return rows;
}
