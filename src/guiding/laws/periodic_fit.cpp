#include "guiding/laws/periodic_fit.h"

#include <Eigen/Dense>
#include <cmath>
#include <numbers>

namespace {
constexpr int kHarmonics = 8;
constexpr int kCandidates = 100;
// The search over candidate periods fits fewer harmonics; the period found is refined with all.
constexpr int kSearchHarmonics = 3;
// Longer histories are averaged in groups of consecutive samples down to about this many.
constexpr size_t kMostSamples = 400;
// A harmonic needs at least this many samples per cycle to be fitted.
constexpr double kSamplesPerCycle = 6;

struct Fit {
    double residual = INFINITY;
    PeriodicModel model;
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

std::optional<PeriodicModel> fitPeriodic(const std::vector<double>& allT,
                                         const std::vector<double>& allG, double minPeriod,
                                         double maxPeriod, double minShare) {
    if (allT.size() != allG.size() || allT.size() < 40)
        return std::nullopt;
    std::vector<double> t, g;
    const size_t group = (allT.size() + kMostSamples - 1) / kMostSamples;
    for (size_t i = 0; i + group <= allT.size(); i += group) {
        double st = 0, sg = 0;
        for (size_t j = i; j < i + group; ++j) {
            st += allT[j];
            sg += allG[j];
        }
        t.push_back(st / static_cast<double>(group));
        g.push_back(sg / static_cast<double>(group));
    }
    const double span = t.back() - t.front();
    maxPeriod = std::min(maxPeriod, span / 1.5);
    if (maxPeriod < minPeriod)
        return std::nullopt;
    const double interval = span / static_cast<double>(t.size() - 1);
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
    const double line = lineResidual(t, g);
    if (!(line > 0) || (line - best.residual) / line < minShare)
        return std::nullopt;
    return best.model;
}
