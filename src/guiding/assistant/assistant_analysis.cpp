#include "guiding/assistant/assistant_analysis.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {
// Periods are scanned up to the run's length over this (a little under kPeriodsNeeded, so
// that a period of exactly a run / 1.5 still shows as a minimum, not at the scan's edge).
constexpr double kScanPeriods = 1.25;
// A frame of every period needs this many frames per period.
constexpr double kFramesPerPeriod = 4;
// Frequency steps per 1 / run length: the grid the minimum is first looked for on.
constexpr double kOversampling = 8;
// The fitted sine must stand this many standard errors above the noise: with about a hundred
// periods tried, noise alone passes in well under one run in a hundred.
constexpr double kDetectionSigmas = 4.5;
// 1 / (2 pi / 1440 min x 60 arcsec/arcmin): arcmin of polar error per arcsec/min of drift.
constexpr double kPolarArcminPerDrift = 3.8197;

double mean(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double median(std::vector<double> v) {
    const auto mid = v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2);
    std::nth_element(v.begin(), mid, v.end());
    return *mid;
}

double rmsAboutMean(const std::vector<double>& v) {
    const double m = mean(v);
    double sum = 0;
    for (double x : v)
        sum += (x - m) * (x - m);
    return std::sqrt(sum / static_cast<double>(v.size()));
}

struct WaveFit {
    double rss = 0;
    Eigen::VectorXd coef; // offset, slope, then sin and cos of each harmonic
};

// y ~ offset + slope t + sum over harmonics h of (a_h sin(h w t) + b_h cos(h w t)).
WaveFit fitWave(const std::vector<double>& t, const std::vector<double>& y, double period,
                int harmonics) {
    const auto n = static_cast<Eigen::Index>(t.size());
    Eigen::MatrixXd a(n, 2 + 2 * harmonics);
    Eigen::VectorXd b(n);
    const double w = 2 * std::numbers::pi / period;
    for (Eigen::Index i = 0; i < n; ++i) {
        const double ti = t[static_cast<size_t>(i)];
        a(i, 0) = 1;
        a(i, 1) = ti;
        for (int h = 0; h < harmonics; ++h) {
            a(i, 2 + 2 * h) = std::sin((h + 1) * w * ti);
            a(i, 3 + 2 * h) = std::cos((h + 1) * w * ti);
        }
        b(i) = y[static_cast<size_t>(i)];
    }
    WaveFit fit;
    fit.coef = a.colPivHouseholderQr().solve(b);
    fit.rss = (a * fit.coef - b).squaredNorm();
    return fit;
}

double peakToPeak(const WaveFit& fit, int harmonics) {
    double low = 0, high = 0;
    for (int k = 0; k < 360; ++k) {
        const double phase = 2 * std::numbers::pi * k / 360;
        double v = 0;
        for (int h = 0; h < harmonics; ++h)
            v += fit.coef(2 + 2 * h) * std::sin((h + 1) * phase) +
                 fit.coef(3 + 2 * h) * std::cos((h + 1) * phase);
        low = k == 0 ? v : std::min(low, v);
        high = k == 0 ? v : std::max(high, v);
    }
    return high - low;
}

// The frequency (1/s) of least residual in [low, high] around a grid minimum.
double refineFrequency(const std::vector<double>& t, const std::vector<double>& y, double low,
                       double high) {
    const double golden = (std::sqrt(5.0) - 1) / 2;
    const auto rss = [&](double f) { return fitWave(t, y, 1 / f, 1).rss; };
    for (int i = 0; i < 40; ++i) {
        const double a = high - golden * (high - low);
        const double b = low + golden * (high - low);
        if (rss(a) < rss(b))
            high = b;
        else
            low = a;
    }
    return (low + high) / 2;
}

double medianInterval(const std::vector<double>& t) {
    std::vector<double> dt;
    for (size_t i = 1; i < t.size(); ++i)
        dt.push_back(t[i] - t[i - 1]);
    return median(dt);
}
} // namespace

LineFit fitLine(const std::vector<double>& t, const std::vector<double>& y) {
    LineFit fit;
    if (t.empty())
        return fit;
    const double tm = mean(t), ym = mean(y);
    double stt = 0, sty = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        stt += (t[i] - tm) * (t[i] - tm);
        sty += (t[i] - tm) * (y[i] - ym);
    }
    fit.slope = stt > 0 ? sty / stt : 0;
    fit.intercept = ym - fit.slope * tm;
    double rss = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const double r = y[i] - fit.intercept - fit.slope * t[i];
        rss += r * r;
    }
    fit.residualRms = std::sqrt(rss / static_cast<double>(t.size()));
    return fit;
}

double frameToFrameRms(const std::vector<AssistantSample>& samples, bool dec) {
    std::vector<double> d;
    for (size_t i = 1; i < samples.size(); ++i)
        if (samples[i].found && samples[i - 1].found)
            d.push_back(dec ? samples[i].decArcsec - samples[i - 1].decArcsec
                            : samples[i].raArcsec - samples[i - 1].raArcsec);
    if (d.size() < 2)
        return 0;
    const double centre = median(d);
    std::vector<double> spread;
    for (double x : d)
        spread.push_back(std::fabs(x - centre));
    const double limit = 5 * 1.4826 * median(spread) + 1e-9;
    std::vector<double> kept;
    for (double x : d)
        if (std::fabs(x - centre) <= limit)
            kept.push_back(x);
    return rmsAboutMean(kept) / std::numbers::sqrt2;
}

namespace {
// The frequency (1/s) of least residual for periods from `longest` down to `shortest`, on a
// grid and then refined; nullopt when the least lies at the longest period (the true one may be
// longer still).
std::optional<double> bestFrequency(const std::vector<double>& t, const std::vector<double>& y,
                                    double longest, double shortest, double run) {
    const double step = 1 / (kOversampling * run);
    std::vector<double> freqs, rss;
    for (double f = 1 / longest; f <= 1 / shortest + 1e-12; f += step) {
        freqs.push_back(f);
        rss.push_back(fitWave(t, y, 1 / f, 1).rss);
    }
    const size_t best = static_cast<size_t>(std::min_element(rss.begin(), rss.end()) - rss.begin());
    if (best == 0 && freqs.size() > 1)
        return std::nullopt;
    return refineFrequency(t, y, freqs[best > 0 ? best - 1 : 0],
                           freqs[std::min(best + 1, freqs.size() - 1)]);
}

QString runLonger(double longest) {
    if (longest >= kLongestPeriodSec)
        return QStringLiteral("No periodic error between %1 and %2 s")
            .arg(kShortestPeriodSec)
            .arg(kLongestPeriodSec);
    return QStringLiteral("Run longer to measure the periodic error: its period looks longer "
                          "than %1 s")
        .arg(std::lround(longest));
}
} // namespace

PeriodicError findPeriodicError(const std::vector<double>& tIn, const std::vector<double>& y) {
    PeriodicError pe;
    const double run = tIn.empty() ? 0 : tIn.back() - tIn.front();
    const double longest = std::min(kLongestPeriodSec, run / kScanPeriods);
    const double shortest =
        tIn.size() < 8 ? kLongestPeriodSec
                       : std::max(kShortestPeriodSec, kFramesPerPeriod * medianInterval(tIn));
    if (run < kPeriodsNeeded * shortest) {
        pe.note = QStringLiteral("Run longer to measure the periodic error: a run needs %1 "
                                 "periods of the worm (%2 min for a 480 s worm)")
                      .arg(kPeriodsNeeded)
                      .arg(kPeriodsNeeded * 480 / 60);
        return pe;
    }
    const double tm = mean(tIn);
    std::vector<double> t;
    for (double v : tIn)
        t.push_back(v - tm);
    const auto f = bestFrequency(t, y, longest, shortest, run);
    if (!f) {
        pe.note = runLonger(longest);
        return pe;
    }
    const WaveFit fundamental = fitWave(t, y, 1 / *f, 1);
    const auto n = static_cast<double>(t.size());
    const double noise = std::sqrt(fundamental.rss / (n - 4));
    if (std::hypot(fundamental.coef(2), fundamental.coef(3)) <
        kDetectionSigmas * noise * std::sqrt(2 / n)) {
        pe.note = QStringLiteral("No periodic error stands out of the seeing");
        return pe;
    }
    const WaveFit wave = fitWave(t, y, 1 / *f, 2);
    return {true, 1 / *f, peakToPeak(wave, 2), wave.coef(1), std::sqrt(wave.rss / n), {}};
}

double polarAlignmentArcmin(double decDriftPerMin, double decDeg) {
    const double dec = std::min(std::fabs(decDeg), 89.0) * std::numbers::pi / 180;
    return kPolarArcminPerDrift * std::fabs(decDriftPerMin) / std::cos(dec);
}

namespace {
AxisFigures axisFigures(const std::vector<double>& t, const std::vector<double>& y) {
    const LineFit line = fitLine(t, y);
    return {0, line.slope * 60, rmsAboutMean(y), line.residualRms};
}

PolarAlignment polarAlignment(double decDriftPerMin, std::optional<double> decDeg) {
    PolarAlignment p;
    p.declinationDeg = decDeg.value_or(0);
    p.errorArcmin = polarAlignmentArcmin(decDriftPerMin, p.declinationDeg);
    if (!decDeg)
        p.note = QStringLiteral("assumes the mount points near the celestial equator (its "
                                "declination is unknown)");
    else if (std::fabs(*decDeg) > 75)
        p.note = QStringLiteral("rough this close to the pole");
    return p;
}
} // namespace

std::optional<AssistantFigures> analyseAssistantRun(const std::vector<AssistantSample>& samples,
                                                    std::optional<double> declinationDeg) {
    std::vector<double> t, ra, dec, x, y;
    for (const AssistantSample& s : samples) {
        if (!s.found)
            continue;
        t.push_back(s.tSec);
        ra.push_back(s.raArcsec);
        dec.push_back(s.decArcsec);
        x.push_back(s.starPx.x());
        y.push_back(s.starPx.y());
    }
    if (t.size() < 3)
        return std::nullopt;
    AssistantFigures f;
    f.durationSec = samples.back().tSec - samples.front().tSec;
    f.frames = static_cast<int>(samples.size());
    f.lostFrames = f.frames - static_cast<int>(t.size());
    f.ra = axisFigures(t, ra);
    f.dec = axisFigures(t, dec);
    f.pe = findPeriodicError(t, ra);
    if (f.pe.measured) {
        f.ra.driftPerMin = f.pe.driftPerSec * 60;
        f.ra.residualRms = f.pe.residualRms;
    }
    f.ra.seeingRms = frameToFrameRms(samples, false);
    f.dec.seeingRms = frameToFrameRms(samples, true);
    f.driftPxPerSec = QPointF(fitLine(t, x).slope, fitLine(t, y).slope);
    f.polar = polarAlignment(f.dec.driftPerMin, declinationDeg);
    return f;
}
