#include "replay_grid.h"

#include "guiding/assistant/assistant_advice.h"

#include <cmath>
#include <cstdio>
#include <optional>
#include <string>

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

// The guiding assistant's advice from the sky's first two minutes without corrections.
std::optional<AssistantAdvice> advice(const std::vector<SkyRow>& sky, double scale) {
    std::vector<AssistantSample> samples;
    for (const SkyRow& row : sky) {
        if (row.t - sky.front().t > 120)
            break;
        samples.push_back({row.t, true, row.ra * scale, row.dec * scale, {}});
    }
    const auto figures = analyseAssistantRun(samples, 0.0);
    if (!figures)
        return std::nullopt;
    return adviseAssistant(*figures, 1, 20);
}

} // namespace

std::vector<LawRun> bestHysteresis(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                                   double backlashCompMs) {
    struct Best {
        double rms = INFINITY;
        std::string setting;
        ReplayResult result;
        void offer(double r, const char* s, const ReplayResult& res) {
            if (r < rms)
                *this = {r, s, res};
        }
    } both, ra, dec;
    for (double a = 30; a <= 100; a += 10)
        for (double h : {0.0, 10.0, 20.0, 30.0})
            for (double minPx : {0.0, 0.05, 0.1, 0.15, 0.2, 0.3, 0.5}) {
                const LawMaker law = hysteresis(a, h, minPx * mount.scale);
                const ReplayResult r = replay(sky, mount, law, law, backlashCompMs);
                char setting[40];
                std::snprintf(setting, sizeof setting, "%.0f%%/%.0f%%/%.2fpx", a, h, minPx);
                both.offer(r.totalPx(), setting, r);
                ra.offer(r.ra.rmsPx, setting, r);
                dec.offer(r.dec.rmsPx, setting, r);
            }
    // The axes replay independently, so each axis's best run stands for that axis alone.
    return {{"Hysteresis best " + both.setting, both.result, ""},
            {"Hysteresis best per axis",
             {ra.result.ra, dec.result.dec},
             "RA " + ra.setting + ", Dec " + dec.setting}};
}

std::vector<LawRun> lawRuns(const std::vector<SkyRow>& sky, const ReplayMount& mount,
                            const std::string& only, bool grid, double backlashCompMs) {
    const auto wanted = [&](const char* law) { return only.empty() || only == law; };
    std::vector<LawRun> runs;
    if (wanted("Standard")) {
        runs.push_back({"Standard, defaults, Dec off",
                        replay(sky, mount, lawNamed(kStandardLaw), nullptr), ""});
        if (const auto a = advice(sky, mount.scale)) {
            StandardLimits limits;
            limits.minCorrection = a->standardMinCorrectionArcsec;
            limits.aggressiveness = a->standardAggressiveness / 100.0;
            const LawMaker advised = lawNamed(kStandardLaw, limits);
            runs.push_back(
                {"Standard, assistant's settings", replay(sky, mount, advised, advised), ""});
        }
    }
    if (wanted("Hysteresis")) {
        const LawMaker h = lawNamed(QStringLiteral("Hysteresis"));
        runs.push_back({"Hysteresis, defaults", replay(sky, mount, h, h, backlashCompMs), ""});
        if (grid)
            for (LawRun& run : bestHysteresis(sky, mount, backlashCompMs))
                runs.push_back(std::move(run));
    }
    if (wanted("Predictive")) {
        const LawMaker p = lawNamed(QStringLiteral("Predictive"));
        runs.push_back({"Predictive", replay(sky, mount, p, p, backlashCompMs), ""});
    }
    return runs;
}
