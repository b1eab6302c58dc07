#include "replay_grid.h"

#include <cmath>
#include <cstdio>

namespace {
LawMaker lawNamed(const QString& name, const StandardLimits& limits = {}) {
    return [name, limits] { return makeGuideLaw(name, limits); };
}

LawMaker hysteresis(double aggressiveness, double hyst, double minMoveArcsec) {
    return [=] {
        auto law = makeGuideLaw(QStringLiteral("Hysteresis"));
        law->setParam(QStringLiteral("Aggressiveness"), aggressiveness);
        law->setParam(QStringLiteral("Hysteresis"), hyst);
        law->setParam(QStringLiteral("Minimum Move"), minMoveArcsec);
        return law;
    };
}

// What a look at the sky's first two minutes without corrections suggests for the standard
// law: a minimum correction at the seeing's frame-to-frame rms, full aggressiveness.
StandardLimits advisedStandard(const std::vector<SkyRow>& sky, double scale) {
    double sum = 0;
    int n = 0;
    for (size_t i = 1; i < sky.size() && sky[i].t < 120; ++i) {
        const double dr = sky[i].ra - sky[i - 1].ra, dd = sky[i].dec - sky[i - 1].dec;
        sum += (dr * dr + dd * dd) / 4; // per axis, differences / sqrt 2
        ++n;
    }
    StandardLimits limits;
    limits.minCorrection = n > 0 ? std::sqrt(sum / n) * scale : 0.5;
    limits.aggressiveness = 1.0;
    return limits;
}
} // namespace

LawRun bestHysteresis(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                      double backlashCompMs) {
    LawRun best{"", {}};
    double bestTotal = INFINITY;
    for (double a = 30; a <= 100; a += 10)
        for (double h : {0.0, 10.0, 20.0, 30.0})
            for (double minPx : {0.0, 0.05, 0.1, 0.15, 0.2, 0.3, 0.5}) {
                const LawMaker law = hysteresis(a, h, minPx * mount.scale);
                const ReplayResult r = replay(sky, mount, law, law, backlashCompMs);
                if (r.totalPx() >= bestTotal)
                    continue;
                bestTotal = r.totalPx();
                char label[80];
                std::snprintf(label, sizeof label, "Hysteresis best %.0f%%/%.0f%%/%.2fpx", a, h,
                              minPx);
                best = {label, r};
            }
    return best;
}

std::vector<LawRun> lawRuns(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                            const std::string& only, bool grid, double backlashCompMs) {
    const auto wanted = [&](const char* law) { return only.empty() || only == law; };
    std::vector<LawRun> runs;
    if (wanted("Standard")) {
        runs.push_back(
            {"Standard, defaults, Dec off", replay(sky, mount, lawNamed(kStandardLaw), nullptr)});
        const LawMaker advised = lawNamed(kStandardLaw, advisedStandard(sky, mount.scale));
        runs.push_back({"Standard, advised", replay(sky, mount, advised, advised)});
    }
    if (wanted("Hysteresis")) {
        const LawMaker h = lawNamed(QStringLiteral("Hysteresis"));
        runs.push_back({"Hysteresis, defaults", replay(sky, mount, h, h, backlashCompMs)});
        if (grid)
            runs.push_back(bestHysteresis(sky, mount, backlashCompMs));
    }
    if (wanted("Predictive")) {
        const LawMaker p = lawNamed(QStringLiteral("Predictive"));
        runs.push_back({"Predictive", replay(sky, mount, p, p, backlashCompMs)});
    }
    return runs;
}
