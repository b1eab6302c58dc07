#include "guiding/laws/periodic_fit.h"

#include <Eigen/Dense>
#include <cmath>
#include <numbers>

namespace {
constexpr int kHarmonics = 4;
constexpr int kCandidates = 120;
// A harmonic needs at least this many samples per cycle to be fitted.
constexpr double kSamplesPerCycle = 6;

struct Fit {
    double residual = INFINITY;
    PeriodicModel model;
};

// Least squares of g on 1, t and the harmonics of `period` that the sampling resolves.
Fit fitAt(const std::vector<double>& t, const std::vector<double>& g, double period,
          double interval) {
    int harmonics = 0;
    while (harmonics < kHarmonics && period / (harmonics + 1) >= kSamplesPerCycle * interval)
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

std::optional<PeriodicModel> fitPeriodic(const std::vector<double>& t, const std::vector<double>& g,
                                         double minPeriod, double maxPeriod, double minShare) {
    if (t.size() != g.size() || t.size() < 40)
        return std::nullopt;
    const double span = t.back() - t.front();
    maxPeriod = std::min(maxPeriod, span / 1.5);
    if (maxPeriod < minPeriod)
        return std::nullopt;
    const double interval = span / static_cast<double>(t.size() - 1);
    Fit best;
    const double ratio = std::pow(maxPeriod / minPeriod, 1.0 / (kCandidates - 1));
    double period = minPeriod;
    for (int i = 0; i < kCandidates; ++i, period *= ratio) {
        Fit fit = fitAt(t, g, period, interval);
        if (fit.residual < best.residual)
            best = std::move(fit);
    }
    const double line = lineResidual(t, g);
    if (!(line > 0) || (line - best.residual) / line < minShare)
        return std::nullopt;
    return best.model;
}
