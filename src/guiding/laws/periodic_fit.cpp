#include "guiding/laws/periodic_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr int kHarmonics = 8;
constexpr int kCandidates = 100;
// The search over candidate periods fits fewer harmonics; the period found is refined with all.
constexpr int kSearchHarmonics = 3;
// Longer histories are averaged in groups of consecutive samples down to about this many.
constexpr size_t kMostSamples = 400;
// Points per period at which a model's crest and trough are looked for.
constexpr int kShapePoints = 720;

struct Fit {
    double residual = INFINITY;
    PeriodicModel model;
    double offset = 0, slope = 0; // the line, at t = 0 and per second
};

// Least squares of g on 1, t and the harmonics of `period` that the sampling resolves.
Fit fitAt(const std::vector<double>& t, const std::vector<double>& g, double period,
          double interval, int most = kHarmonics) {
    int harmonics = 0;
    while (harmonics < most && period / (harmonics + 1) >= kSamplesPerCycle * interval)
        ++harmonics;
    const int columns = 2 + 2 * harmonics;
    Eigen::MatrixXd ata = Eigen::MatrixXd::Zero(columns, columns);
    Eigen::VectorXd atb = Eigen::VectorXd::Zero(columns);
    Eigen::VectorXd row(columns);
    const double w = 2 * std::numbers::pi / period;
    const double t0 = t.front();
    for (size_t i = 0; i < t.size(); ++i) {
        row[0] = 1;
        row[1] = (t[i] - t0) / period;
        for (int h = 0; h < harmonics; ++h) {
            row[2 + 2 * h] = std::cos((h + 1) * w * t[i]);
            row[3 + 2 * h] = std::sin((h + 1) * w * t[i]);
        }
        ata.selfadjointView<Eigen::Lower>().rankUpdate(row);
        atb += row * g[i];
    }
    ata = ata.selfadjointView<Eigen::Lower>();
    const Eigen::VectorXd x = ata.ldlt().solve(atb);
    double gg = 0;
    for (double v : g)
        gg += v * v;
    Fit fit;
    fit.residual = gg - x.dot(atb); // the normal equations' residual sum of squares
    fit.model.period = period;
    fit.offset = x[0] - x[1] * t0 / period;
    fit.slope = x[1] / period;
    for (int h = 0; h < harmonics; ++h) {
        fit.model.cosine.push_back(x[2 + 2 * h]);
        fit.model.sine.push_back(x[3 + 2 * h]);
    }
    return fit;
}

// The grid's step is a few percent; over many cycles the harmonics need the period closer.
Fit refine(const std::vector<double>& t, const std::vector<double>& g, Fit best, double ratio,
           double interval) {
    double lo = best.model.period / ratio, hi = best.model.period * ratio;
    const double golden = (std::sqrt(5.0) - 1) / 2;
    for (int i = 0; i < 20; ++i) {
        const double a = hi - golden * (hi - lo), b = lo + golden * (hi - lo);
        if (fitAt(t, g, a, interval).residual < fitAt(t, g, b, interval).residual)
            hi = b;
        else
            lo = a;
    }
    Fit refined = fitAt(t, g, (lo + hi) / 2, interval);
    return refined.residual < best.residual ? refined : best;
}

double lineResidual(const std::vector<double>& t, const std::vector<double>& g) {
    const double n = static_cast<double>(t.size());
    double st = 0, sg = 0, stt = 0, stg = 0, sgg = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const double x = t[i] - t.front();
        st += x;
        sg += g[i];
        stt += x * x;
        stg += x * g[i];
        sgg += g[i] * g[i];
    }
    const double sxx = stt - st * st / n, sxy = stg - st * sg / n, syy = sgg - sg * sg / n;
    return sxx > 0 ? syy - sxy * sxy / sxx : syy;
}
} // namespace

double PeriodicModel::at(double t) const {
    const double w = 2 * std::numbers::pi / period;
    double sum = 0;
    for (size_t h = 0; h < cosine.size(); ++h) {
        const double a = static_cast<double>(h + 1) * w * t;
        sum += cosine[h] * std::cos(a) + sine[h] * std::sin(a);
    }
    return sum;
}

double PeriodicModel::rate(double t) const {
    const double w = 2 * std::numbers::pi / period;
    double sum = 0;
    for (size_t h = 0; h < cosine.size(); ++h) {
        const double k = static_cast<double>(h + 1) * w;
        sum += k * (sine[h] * std::cos(k * t) - cosine[h] * std::sin(k * t));
    }
    return sum;
}

double PeriodicModel::peakToPeak() const {
    double low = INFINITY, high = -INFINITY;
    for (int k = 0; k < kShapePoints; ++k) {
        const double v = at(period * k / kShapePoints);
        low = std::min(low, v);
        high = std::max(high, v);
    }
    return high - low;
}

namespace {
struct Samples {
    std::vector<double> t, g;
};

// Longer histories are averaged in groups of consecutive samples.
Samples averaged(const std::vector<double>& allT, const std::vector<double>& allG) {
    Samples s;
    const size_t group = (allT.size() + kMostSamples - 1) / kMostSamples;
    for (size_t i = 0; i + group <= allT.size(); i += group) {
        double st = 0, sg = 0;
        for (size_t j = i; j < i + group; ++j) {
            st += allT[j];
            sg += allG[j];
        }
        s.t.push_back(st / static_cast<double>(group));
        s.g.push_back(sg / static_cast<double>(group));
    }
    return s;
}

// The best of the candidate periods, refined, then the shortest of its fractions that fits
// about as well.
Fit bestFit(const Samples& s, double minPeriod, double maxPeriod, double interval) {
    const auto& t = s.t;
    const auto& g = s.g;
    Fit best;
    const double ratio = std::pow(maxPeriod / minPeriod, 1.0 / (kCandidates - 1));
    double period = minPeriod;
    for (int i = 0; i < kCandidates; ++i, period *= ratio) {
        Fit fit = fitAt(t, g, period, interval, kSearchHarmonics);
        if (fit.residual < best.residual)
            best = std::move(fit);
    }
    best = refine(t, g, best, ratio, interval);
    // A multiple of the period fits as well as the period itself; the shortest one that does
    // keeps the harmonics' fit stable from one refit to the next.
    for (int k = 4; k >= 2; --k) {
        if (best.model.period / k < minPeriod)
            continue;
        Fit shorter = refine(t, g, fitAt(t, g, best.model.period / k, interval), ratio, interval);
        if (shorter.residual <= best.residual * 1.02) {
            best = std::move(shorter);
            break;
        }
    }
    return best;
}

double residualRms(const Fit& fit, const std::vector<double>& t, const std::vector<double>& g) {
    double sum = 0;
    for (size_t i = 0; i < t.size(); ++i) {
        const double r = g[i] - fit.offset - fit.slope * t[i] - fit.model.at(t[i]);
        sum += r * r;
    }
    return std::sqrt(sum / static_cast<double>(t.size()));
}

// The first harmonic's amplitude over its standard error, sigma sqrt(2 / n), with sigma the
// scatter about the fit.
double firstHarmonicSigmas(const Fit& fit, size_t samples) {
    const double n = static_cast<double>(samples);
    const double columns = 2 + 2 * static_cast<double>(fit.model.cosine.size());
    const double sigma = std::sqrt(std::max(fit.residual, 0.0) / std::max(n - columns, 1.0));
    const double amplitude = std::hypot(fit.model.cosine[0], fit.model.sine[0]);
    if (!(sigma > 0))
        return amplitude > 0 ? INFINITY : 0;
    return amplitude / (sigma * std::sqrt(2 / n));
}
} // namespace

std::optional<PeriodicFit> searchPeriodic(const std::vector<double>& allT,
                                          const std::vector<double>& allG, double minPeriod,
                                          double maxPeriod, double cycles) {
    if (allT.size() != allG.size() || allT.size() < 3)
        return std::nullopt;
    const Samples s = averaged(allT, allG);
    const double span = s.t.back() - s.t.front();
    maxPeriod = std::min(maxPeriod, span / cycles);
    if (maxPeriod < minPeriod)
        return std::nullopt;
    const double interval = span / static_cast<double>(s.t.size() - 1);
    const Fit best = bestFit(s, minPeriod, maxPeriod, interval);
    if (best.model.cosine.empty())
        return std::nullopt;
    PeriodicFit out;
    out.model = best.model;
    out.offset = best.offset;
    out.slope = best.slope;
    out.residualRms = residualRms(best, allT, allG);
    const double line = lineResidual(s.t, s.g);
    out.share = line > 0 ? (line - best.residual) / line : 0;
    out.firstHarmonicSigmas = firstHarmonicSigmas(best, s.t.size());
    const double step = std::pow(maxPeriod / minPeriod, 1.0 / (kCandidates - 1));
    out.atLongest = best.model.period * step > maxPeriod;
    return out;
}

std::optional<PeriodicModel> fitPeriodic(const std::vector<double>& t, const std::vector<double>& g,
                                         double minPeriod, double maxPeriod, double minShare) {
    if (t.size() != g.size() || t.size() < 40)
        return std::nullopt;
    const auto fit = searchPeriodic(t, g, minPeriod, maxPeriod, 1.25);
    if (!fit || fit->share < minShare)
        return std::nullopt;
    if (t.size() <= kMostSamples)
        return fit->model;
    const double interval = (t.back() - t.front()) / static_cast<double>(t.size() - 1);
    return fitAt(t, g, fit->model.period, interval).model;
}
