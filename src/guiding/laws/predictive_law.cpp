#include "guiding/laws/predictive_law.h"

#include "guiding/laws/periodic_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <deque>
#include <optional>

// The law rebuilds where the star would be had no correction been made (the error plus every
// move sent, minus every target offset) and tracks that motion with a bank of Kalman filters
// of a drifting mount (position and rate, the rate wandering at rates a decade apart). The
// filter whose one-frame predictions have lately been best predicts the star's place at the
// next frame; the move takes the star there. The measurement noise is estimated from the
// frame-to-frame scatter, so nothing needs tuning. A second bank tracks what is left once the
// periodic error, refitted from the history every few frames, is taken out, and adds it back
// to its predictions; both banks compete. A frame far off every prediction is held
// as a suspect: half of it is followed, none of it learned; a second one like it is a real
// jump (a dither, a bump) and every filter moves by it.
namespace {
constexpr int kFilters = 7;
constexpr double kSlowestQ = 1e-7;      // arcsec^2/s^3, rate wander of the steadiest filter
constexpr double kSlowestLevelQ = 1e-6; // arcsec^2/s, wander of the steadiest place
constexpr double kScoreMemory = 0.01;
constexpr double kNoiseMemory = 0.05;
constexpr double kOutlierSigmas = 4.5;
// No frame is judged an outlier before this many: until the filters have caught the mount's
// rate, a fast periodic error looks like a run of jumps, and each jump followed would put a
// false step into the history the periodic fit reads.
constexpr int kWarmupFrames = 30;
constexpr size_t kHistory = 1800; // frames the periodic fit looks at
constexpr int kRefitEvery = 30;   // frames
constexpr double kMinPeriod = 40; // s
constexpr double kMaxPeriod = 1200;
constexpr double kMinPeriodicShare = 0.2;

struct Filter {
    double q = 0;
    // A wandering place without a rate (q in arcsec^2/s), else a place and a rate whose
    // wander is q (arcsec^2/s^3).
    bool levelOnly = false;
    double x = 0, v = 0;                // arcsec, arcsec/s
    double pxx = 1e4, pxv = 0, pvv = 1; // covariance
    double score = 0;                   // mean squared one-frame prediction error
    // What the filter's errors of one frame tell of the next (correlated seeing, motion the
    // model misses): running moments of successive innovations.
    double lastNu = 0, nuLag = 0, nuSq = 0;

    double echo() const { return nuSq > 0 ? std::clamp(nuLag / nuSq, -0.5, 0.9) * lastNu : 0; }
    void learnInnovation(double nu) {
        nuLag += kScoreMemory * (nu * lastNu - nuLag);
        nuSq += kScoreMemory * (nu * nu - nuSq);
        lastNu = nu;
    }

    void predict(double dt) {
        if (levelOnly) {
            pxx += q * dt;
            return;
        }
        x += v * dt;
        pxx += dt * (2 * pxv + dt * pvv) + q * dt * dt * dt / 3;
        pxv += dt * pvv + q * dt * dt / 2;
        pvv += q * dt;
    }
    double innovationVariance(double r) const { return pxx + r; }
    void update(double z, double r) {
        const double s = pxx + r;
        const double kx = pxx / s, kv = pxv / s;
        const double nu = z - x;
        x += kx * nu;
        v += kv * nu;
        const double nxx = (1 - kx) * pxx, nxv = (1 - kx) * pxv, nvv = pvv - kv * pxv;
        pxx = nxx;
        pxv = nxv;
        pvv = nvv;
    }
};
} // namespace

struct PredictiveLaw::Model {
    // The filters of both banks, each kFilters with a rate and kFilters without: the first
    // bank on the place, the second on the place less the
    // periodic error.
    std::array<Filter, 4 * kFilters> filters;
    std::optional<PeriodicModel> periodic;
    std::deque<double> historyT, historyG;
    bool started = false;
    int frames = 0;
    double lastT = 0;
    double interval = 0; // s between frames, smoothed
    double sent = 0;     // sum of the moves sent, arcsec
    double offsets = 0;  // sum of the target offsets, arcsec
    double noiseVar = 0; // measurement noise variance, arcsec^2
    double g1 = 0, g2 = 0;
    int history = 0; // open-loop places kept in g1, g2
    double suspect = 0;
    bool suspecting = false;
    double aggressiveness = 100; // percent of the predicted move made

    Model() {
        for (size_t i = 0; i < filters.size(); ++i) {
            filters[i].levelOnly = (i / kFilters) % 2 == 1;
            const double slowest = filters[i].levelOnly ? kSlowestLevelQ : kSlowestQ;
            filters[i].q = slowest * std::pow(10.0, static_cast<double>(i % kFilters));
        }
    }
    static bool periodicBank(size_t i) { return i >= 2 * kFilters; }
    double periodicAt(double t) const { return periodic ? periodic->at(t) : 0; }
    size_t best() const {
        size_t b = 0;
        for (size_t i = 1; i < filters.size(); ++i)
            if (filters[i].score < filters[b].score)
                b = i;
        return b;
    }
    // What filter i sees of the open-loop place g at t.
    double seen(size_t i, double g, double t) const {
        return periodicBank(i) ? g - periodicAt(t) : g;
    }
    void learnNoise(double g) {
        if (history == 1 && frames <= 2)
            noiseVar = (g - g1) * (g - g1) / 2;
        if (history >= 2) {
            // White noise of variance s^2 gives second differences of variance 6 s^2.
            const double d2 = g - 2 * g1 + g2;
            const double sample = d2 * d2 / 6;
            noiseVar = frames <= 3 ? std::max(sample, noiseVar)
                                   : noiseVar + kNoiseMemory * (sample - noiseVar);
        }
        g2 = g1;
        g1 = g;
        history = std::min(history + 1, 2);
    }
    void remember(double t, double g) {
        historyT.push_back(t);
        historyG.push_back(g);
        if (historyT.size() > kHistory) {
            historyT.pop_front();
            historyG.pop_front();
        }
        if (frames % kRefitEvery == 0)
            refit(t);
    }
    // A new periodic fit; the periodic bank's filters keep tracking the same places.
    void refit(double now) {
        const std::vector<double> t(historyT.begin(), historyT.end());
        const std::vector<double> g(historyG.begin(), historyG.end());
        std::optional<PeriodicModel> fit =
            fitPeriodic(t, g, kMinPeriod, kMaxPeriod, kMinPeriodicShare);
        const double oldAt = periodicAt(now), oldRate = periodic ? periodic->rate(now) : 0;
        periodic = std::move(fit);
        const double newAt = periodicAt(now), newRate = periodic ? periodic->rate(now) : 0;
        for (size_t i = 2 * kFilters; i < filters.size(); ++i) {
            filters[i].x += oldAt - newAt;
            if (!filters[i].levelOnly)
                filters[i].v += oldRate - newRate;
        }
    }
    void startAt(double t, double g) {
        for (Filter& f : filters) {
            f.x = g;
            f.v = 0;
            f.pxx = 1e2;
            f.pxv = 0;
            f.pvv = 1e-2;
            f.score = 0;
            f.lastNu = f.nuLag = f.nuSq = 0;
        }
        periodic.reset();
        historyT.clear();
        historyG.clear();
        started = true;
        lastT = t;
        history = 0;
        learnNoise(g);
        remember(t, g);
    }
    void shiftBy(double jump) {
        for (Filter& f : filters)
            f.x += jump;
        for (double& g : historyG)
            g += jump;
        g1 += jump;
        g2 += jump;
    }
    double predictedAt(double t) const {
        const size_t i = best();
        const Filter& f = filters[i];
        return f.x + f.v * (t - lastT) + f.echo() + (periodicBank(i) ? periodicAt(t) : 0);
    }
};

PredictiveLaw::PredictiveLaw() : m_(std::make_unique<Model>()) {}
PredictiveLaw::~PredictiveLaw() = default;

double PredictiveLaw::frame(double tSec, double errArcsec) {
    Model& m = *m_;
    if (!std::isfinite(errArcsec) || !std::isfinite(tSec))
        return 0;
    const double g = errArcsec + m.sent - m.offsets;
    ++m.frames;
    if (!m.started) {
        m.startAt(tSec, g);
        return errArcsec * m.aggressiveness / 100;
    }
    const double dt = std::max(tSec - m.lastT, 1e-3);
    m.interval = m.interval == 0 ? dt : m.interval + 0.1 * (dt - m.interval);
    const double r = std::max(m.noiseVar, 1e-6);
    for (Filter& f : m.filters)
        f.predict(dt);
    m.lastT = tSec;
    const size_t leadIndex = m.best();
    const Filter& lead = m.filters[leadIndex];
    const double nu = m.seen(leadIndex, g, tSec) - lead.x;
    const bool outlier = m.frames > kWarmupFrames &&
                         nu * nu > kOutlierSigmas * kOutlierSigmas * lead.innovationVariance(r);
    double follow = 0;
    if (outlier && !(m.suspecting && nu * m.suspect > 0 &&
                     std::fabs(nu - m.suspect) < 0.5 * std::fabs(m.suspect))) {
        m.suspecting = true;
        m.suspect = nu;
        follow = 0.5 * nu;
    } else {
        if (outlier)
            m.shiftBy(nu);
        m.suspecting = false;
        for (size_t i = 0; i < m.filters.size(); ++i) {
            Filter& f = m.filters[i];
            const double z = m.seen(i, g, tSec);
            const double miss = z - f.x - f.echo();
            f.score += kScoreMemory * (miss * miss - f.score);
            f.learnInnovation(z - f.x);
            f.update(z, r);
        }
        m.learnNoise(g);
        m.remember(tSec, g);
    }
    const double ahead = m.predictedAt(tSec + m.interval) + follow;
    return (ahead - m.sent + m.offsets) * m.aggressiveness / 100;
}

void PredictiveLaw::sent(double moveArcsec) {
    if (std::isfinite(moveArcsec))
        m_->sent += moveArcsec;
}

void PredictiveLaw::targetMoved(double offsetArcsec) {
    if (std::isfinite(offsetArcsec))
        m_->offsets += offsetArcsec;
}

void PredictiveLaw::restart() {
    m_->suspecting = false;
}

void PredictiveLaw::reset() {
    const double aggressiveness = m_->aggressiveness;
    m_ = std::make_unique<Model>();
    m_->aggressiveness = aggressiveness;
}

std::vector<LawParam> PredictiveLaw::params() const {
    return {{QStringLiteral("Aggressiveness"), m_->aggressiveness, 0, 150, QStringLiteral("%")}};
}

bool PredictiveLaw::setParam(const QString& name, double value) {
    if (name != QLatin1String("Aggressiveness") || !(value >= 0 && value <= 150))
        return false;
    m_->aggressiveness = value;
    return true;
}
