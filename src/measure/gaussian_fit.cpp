#include "measure/gaussian_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {
constexpr int kMaxIterations = 40;
constexpr double kSettled = 1e-5; // px (and px of sigma): steps below this end the fit
constexpr double kMinSigma = 0.3;
constexpr int kMinPixels = 8;

struct Sample {
    int c, r;
    double f; // value minus background
};

// The fitted pixels: a box of columns c0.. and rows r0.. with their usable samples.
struct Patch {
    int c0 = 0, r0 = 0, columns = 0, rows = 0;
    std::vector<Sample> samples;
};

Patch patchOf(const LumWindow& w, double background, const PixelGaussian& start, int reach,
              double clipAt) {
    Patch p;
    const int cx = static_cast<int>(std::lround(start.x));
    const int cy = static_cast<int>(std::lround(start.y));
    p.c0 = std::max(0, cx - reach);
    p.r0 = std::max(0, cy - reach);
    p.columns = std::min(w.side - 1, cx + reach) - p.c0 + 1;
    p.rows = std::min(w.side - 1, cy + reach) - p.r0 + 1;
    for (int r = p.r0; r < p.r0 + p.rows; ++r)
        for (int c = p.c0; c < p.c0 + p.columns; ++c)
            if (w.inside(c, r) && w.at(c, r) < clipAt)
                p.samples.push_back({c, r, w.at(c, r) - background});
    return p;
}

using Params = Eigen::Vector4d; // x, y, amplitude, sigma

// P and its derivatives for each column and row of the patch.
struct Profiles {
    std::vector<PixelProfile> columns, rows;
    Profiles(const Patch& p, const Params& q) {
        for (int i = 0; i < p.columns; ++i)
            columns.push_back(pixelProfile(p.c0 + i - q[0], q[3]));
        for (int j = 0; j < p.rows; ++j)
            rows.push_back(pixelProfile(p.r0 + j - q[1], q[3]));
    }
};

double squaredResiduals(const Patch& p, const Params& q) {
    const Profiles prof(p, q);
    double sum = 0;
    for (const Sample& s : p.samples) {
        const double model =
            q[2] * prof.columns[size_t(s.c - p.c0)].value * prof.rows[size_t(s.r - p.r0)].value;
        sum += (s.f - model) * (s.f - model);
    }
    return sum;
}

// The normal equations J'J and J'r of the residuals at q.
void normalEquations(const Patch& p, const Params& q, Eigen::Matrix4d& jtj, Params& jtr) {
    const Profiles prof(p, q);
    jtj.setZero();
    jtr.setZero();
    for (const Sample& s : p.samples) {
        const PixelProfile& a = prof.columns[size_t(s.c - p.c0)];
        const PixelProfile& b = prof.rows[size_t(s.r - p.r0)];
        const double shape = a.value * b.value;
        const Params j(q[2] * a.dx * b.value, q[2] * a.value * b.dx, shape,
                       q[2] * (a.dsigma * b.value + a.value * b.dsigma));
        jtj.noalias() += j * j.transpose();
        jtr += j * (s.f - q[2] * shape);
    }
}

bool plausible(const Params& q, const PixelGaussian& start, int reach) {
    return q.allFinite() && q[3] >= kMinSigma && q[3] <= reach && q[2] > 0 &&
           std::abs(q[0] - start.x) <= reach && std::abs(q[1] - start.y) <= reach;
}
} // namespace

PixelProfile pixelProfile(double u, double sigma) {
    const double root2s = std::numbers::sqrt2 * sigma;
    const double hi = u + 0.5, lo = u - 0.5;
    const double gHi = std::exp(-hi * hi / (2 * sigma * sigma));
    const double gLo = std::exp(-lo * lo / (2 * sigma * sigma));
    PixelProfile p;
    p.value =
        sigma * std::sqrt(std::numbers::pi / 2) * (std::erf(hi / root2s) - std::erf(lo / root2s));
    p.dx = gLo - gHi;
    p.dsigma = (p.value - (hi * gHi - lo * gLo)) / sigma;
    return p;
}

std::optional<PixelGaussian> fitPixelGaussian(const LumWindow& w, double background,
                                              const PixelGaussian& start, int reach,
                                              double clipAt) {
    const Patch patch = patchOf(w, background, start, reach, clipAt);
    if (static_cast<int>(patch.samples.size()) < kMinPixels)
        return std::nullopt;
    Params q(start.x, start.y, start.amplitude, start.sigma);
    double cost = squaredResiduals(patch, q);
    double lambda = 1e-3;
    for (int i = 0; i < kMaxIterations; ++i) {
        Eigen::Matrix4d jtj;
        Params jtr;
        normalEquations(patch, q, jtj, jtr);
        Eigen::Matrix4d damped = jtj;
        damped.diagonal() *= 1 + lambda;
        const Params step = damped.ldlt().solve(jtr);
        const Params next = q + step;
        const double nextCost = next[3] > 0 ? squaredResiduals(patch, next) : cost + 1;
        const bool better = std::isfinite(nextCost) && nextCost <= cost;
        if (better) {
            q = next;
            cost = nextCost;
            lambda = std::max(lambda / 10, 1e-9);
        } else {
            lambda *= 10;
        }
        // Only an accepted step tells the fit has settled; a damped-away one says nothing.
        const bool settled = better && std::abs(step[0]) < kSettled &&
                             std::abs(step[1]) < kSettled && std::abs(step[3]) < kSettled;
        if (settled || lambda > 1e9) // no better point to be found
            return plausible(q, start, reach) ? std::optional(PixelGaussian{q[0], q[1], q[2], q[3]})
                                              : std::nullopt;
    }
    return std::nullopt;
}
