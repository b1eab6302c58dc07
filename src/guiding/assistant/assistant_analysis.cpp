#include "guiding/assistant/assistant_analysis.h"

#include "guiding/laws/periodic_fit.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>

namespace {
// A periodic error must stand this many standard errors above the noise: with about a hundred
// periods tried, noise alone passes in well under one run in a hundred.
constexpr double kDetectionSigmas = 4.5;
// Fewer frames than this tell no period.
constexpr size_t kFewestFrames = 8;
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

PeriodicError findPeriodicError(const std::vector<double>& t, const std::vector<double>& y) {
    PeriodicError pe;
    const double run = t.empty() ? 0 : t.back() - t.front();
    const double shortest =
        t.size() < kFewestFrames
            ? kLongestPeriodSec
            : std::max(kShortestPeriodSec, kSamplesPerCycle * medianInterval(t));
    if (run < kPeriodsNeeded * shortest) {
        pe.note = QStringLiteral("Run longer to measure the periodic error: a run needs %1 "
                                 "periods of the worm (%2 min for a 480 s worm)")
                      .arg(kPeriodsNeeded)
                      .arg(kPeriodsNeeded * 480 / 60);
        return pe;
    }
    const auto fit = searchPeriodic(t, y, shortest, kLongestPeriodSec);
    if (fit && fit->atLongest) {
        pe.note = runLonger(std::min(kLongestPeriodSec, run / kPeriodsNeeded));
        return pe;
    }
    if (!fit || fit->firstHarmonicSigmas < kDetectionSigmas) {
        pe.note = QStringLiteral("No periodic error stands out of the seeing");
        return pe;
    }
    return {true, fit->model.period, fit->model.peakToPeak(), fit->slope, fit->residualRms, {}};
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
