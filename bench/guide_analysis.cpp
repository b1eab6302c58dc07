#include "guide_analysis.h"

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
QPointF unit(double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {std::cos(a), std::sin(a)};
}

double scaleAlong(QPointF u, double scaleX, double scaleY) {
    return std::hypot(u.x() * scaleX, u.y() * scaleY);
}

// Running sums of one axis's errors.
struct AxisSums {
    double sum = 0, squares = 0, maxAbs = 0;
    void add(double e) {
        sum += e;
        squares += e * e;
        maxAbs = std::max(maxAbs, std::abs(e));
    }
    AxisStats stats(int n) const {
        return n == 0 ? AxisStats{} : AxisStats{std::sqrt(squares / n), sum / n, maxAbs};
    }
};

// The star's move from frame k to frame k+1 and the calibrated moves of the pulses sent after
// frames k and k-1, px along the mount's axes.
struct Step {
    QPointF moved, pulse, previousPulse;
};

QPointF pulsesOf(const GuideRecord& r, const Calibration& c) {
    QPointF move;
    if (r.raPulse)
        move += calibratedMove(*r.raPulse, c);
    if (r.decPulse)
        move += calibratedMove(*r.decPulse, c);
    return move;
}

std::vector<Step> stepsOf(const std::vector<GuideRecord>& records, const Calibration& c) {
    const MountAxes axes = mountAxesOf(c);
    std::vector<Step> steps;
    for (size_t k = 1; k + 1 < records.size(); ++k) {
        const GuideRecord &before = records[k - 1], &now = records[k], &next = records[k + 1];
        if (!before.found || !now.found || !next.found)
            continue;
        const QPointF moved(next.starX - now.starX, next.starY - now.starY);
        steps.push_back({axes.split(moved), pulsesOf(now, c), pulsesOf(before, c)});
    }
    return steps;
}

double along(QPointF v, int axis) {
    return axis == 0 ? v.x() : v.y();
}

// Fits rows * x = y and reads the shares from x[0] and x[1], the drift from x[2].
std::optional<LagFit> lagFit(const std::vector<std::vector<double>>& rows,
                             const std::vector<double>& y) {
    const auto x = leastSquares(rows, y);
    if (!x)
        return std::nullopt;
    double squares = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        double fitted = 0;
        for (size_t j = 0; j < x->size(); ++j)
            fitted += rows[i][j] * (*x)[j];
        squares += (y[i] - fitted) * (y[i] - fitted);
    }
    return LagFit{(*x)[0], (*x)[1], (*x)[2], std::sqrt(squares / static_cast<double>(y.size())),
                  static_cast<int>(y.size())};
}

// One fit over the steps of the given axes (0 RA, 1 Dec), a drift term for each axis.
std::optional<LagFit> fitAxes(const std::vector<Step>& steps, const std::vector<int>& axes) {
    std::vector<std::vector<double>> rows;
    std::vector<double> y;
    for (size_t n = 0; n < axes.size(); ++n)
        for (const Step& s : steps) {
            std::vector<double> row{along(s.pulse, axes[n]), along(s.previousPulse, axes[n])};
            for (size_t d = 0; d < axes.size(); ++d)
                row.push_back(d == n ? 1 : 0);
            rows.push_back(std::move(row));
            y.push_back(along(s.moved, axes[n]));
        }
    return lagFit(rows, y);
}
} // namespace

QPointF MountAxes::split(QPointF v) const {
    const double det = ra.x() * dec.y() - ra.y() * dec.x();
    return {(v.x() * dec.y() - v.y() * dec.x()) / det, (ra.x() * v.y() - ra.y() * v.x()) / det};
}

MountAxes mountAxesOf(const Calibration& c) {
    MountAxes axes;
    axes.ra = unit(c.raAngle);
    axes.dec = c.hasDec ? unit(c.decAngle) : QPointF(-axes.ra.y(), axes.ra.x());
    axes.raArcsecPerPx = scaleAlong(axes.ra, c.arcsecPerPixelX, c.arcsecPerPixelY);
    axes.decArcsecPerPx = scaleAlong(axes.dec, c.arcsecPerPixelX, c.arcsecPerPixelY);
    return axes;
}

QPointF calibratedMove(const PulseRequest& pulse, const Calibration& c) {
    const double sec = pulse.ms / 1000.0;
    switch (pulse.direction) {
    case guideEast:
        return {c.raSpeed * sec, 0};
    case guideWest:
        return {-c.raSpeed * sec, 0};
    case guideNorth:
        return {0, c.hasDec ? c.decSpeed * sec : 0};
    case guideSouth:
        return {0, c.hasDec ? -c.decSpeed * sec : 0};
    }
    return {};
}

double GuideFigures::totalPx() const {
    return std::hypot(ra.rms, dec.rms);
}

double GuideFigures::totalArcsec() const {
    return std::hypot(raArcsec(), decArcsec());
}

GuideFigures guideFigures(const std::vector<GuideRecord>& records, const MountAxes& axes) {
    GuideFigures f;
    f.raArcsecPerPx = axes.raArcsecPerPx;
    f.decArcsecPerPx = axes.decArcsecPerPx;
    AxisSums ra, dec;
    double raMs = 0, decMs = 0;
    for (const GuideRecord& r : records) {
        if (!r.found) {
            ++f.lost;
            continue;
        }
        ++f.cycles;
        const QPointF e = axes.split({r.raPx, r.decPx});
        ra.add(e.x());
        dec.add(e.y());
        if (r.raPulse && r.raPulse->ms > 0) {
            ++f.raPulses;
            raMs += r.raPulse->ms;
        }
        if (r.decPulse && r.decPulse->ms > 0) {
            ++f.decPulses;
            decMs += r.decPulse->ms;
        }
    }
    f.ra = ra.stats(f.cycles);
    f.dec = dec.stats(f.cycles);
    f.raPulseMs = f.raPulses ? raMs / f.raPulses : 0;
    f.decPulseMs = f.decPulses ? decMs / f.decPulses : 0;
    return f;
}

PulseLag fitPulseLag(const std::vector<GuideRecord>& records, const Calibration& c) {
    const std::vector<Step> steps = stepsOf(records, c);
    PulseLag lag;
    lag.ra = fitAxes(steps, {0});
    if (c.hasDec) {
        lag.dec = fitAxes(steps, {1});
        lag.both = fitAxes(steps, {0, 1});
    }
    return lag;
}

std::optional<std::vector<double>> leastSquares(const std::vector<std::vector<double>>& rows,
                                                const std::vector<double>& y) {
    const Eigen::Index n = rows.empty() ? 0 : static_cast<Eigen::Index>(rows.front().size());
    const auto m = static_cast<Eigen::Index>(rows.size());
    if (n == 0 || m < n)
        return std::nullopt;
    Eigen::MatrixXd a(m, n);
    Eigen::VectorXd b(m);
    for (Eigen::Index r = 0; r < m; ++r) {
        for (Eigen::Index c = 0; c < n; ++c)
            a(r, c) = rows[static_cast<size_t>(r)][static_cast<size_t>(c)];
        b(r) = y[static_cast<size_t>(r)];
    }
    Eigen::ColPivHouseholderQR<Eigen::MatrixXd> qr(a);
    qr.setThreshold(1e-10);
    if (qr.rank() < n)
        return std::nullopt;
    const Eigen::VectorXd x = qr.solve(b);
    return std::vector<double>(x.data(), x.data() + x.size());
}
