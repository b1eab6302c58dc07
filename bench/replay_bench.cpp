// Replays recorded or synthetic skies through the guide laws in closed loop and prints, per
// law: rms error in RA, Dec and both (px and arcsec), the pulses and their total length.
//
//   replay_bench FILE.csv... [--ra-rate PX_S] [--dec-rate PX_S] [--scale ARCSEC_PX]
//                [--law NAME] [--dec-backlash MS] [--backlash-comp MS] [--no-grid]
//   replay_bench --make-skies DIR     writes the synthetic skies of bench/data to DIR and
//                                     prints what their seeing alone leaves to any law
//
// FILE: header "t_s,ra_px,dec_px", one row per frame: where the star would be without any
// correction, px along the mount's RA and Dec axes. Besides each law with its defaults, the
// Hysteresis law is also run with the best settings of a grid search on each sky, one for
// both axes and one per axis (the figures the other laws must beat), and the Standard law
// with the defaults a new user has (Dec not guided) and with the settings a quick look at the
// sky's first two minutes suggests. Last come the sky's frame-to-frame scatter and the
// Predictive law's gain on the best Hysteresis settings.

#include "replay/replay.h"
#include "replay/replay_grid.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {
struct Options {
    std::vector<std::string> files;
    std::vector<SkyRecipe> skies;
    ReplayMount mount;
    std::string law;
    double backlashComp = 0;
    bool grid = true;
};

void usage() {
    std::fprintf(stderr, "usage: replay_bench FILE.csv... [--ra-rate PX_S] [--dec-rate PX_S] "
                         "[--scale ARCSEC_PX] [--law NAME] [--dec-backlash MS] "
                         "[--backlash-comp MS] [--no-grid]\n"
                         "       replay_bench --make-skies DIR\n");
}

bool number(const char* text, double& to) {
    char* end = nullptr;
    to = std::strtod(text, &end);
    return end != text && *end == 0;
}

bool recipeFrom(const std::string& text, SkyRecipe& r);

bool parse(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--no-grid") {
            o.grid = false;
            continue;
        }
        if (a == "--sky" && i + 1 < argc) {
            SkyRecipe recipe;
            if (!recipeFrom(argv[++i], recipe))
                return false;
            o.skies.push_back(recipe);
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            o.files.push_back(a);
            continue;
        }
        if (i + 1 >= argc)
            return false;
        const char* v = argv[++i];
        double x = 0;
        if (a == "--law")
            o.law = v;
        else if (!number(v, x) || x < 0)
            return false;
        else if (a == "--ra-rate")
            o.mount.raRate = x;
        else if (a == "--dec-rate")
            o.mount.decRate = x;
        else if (a == "--scale")
            o.mount.scale = x;
        else if (a == "--dec-backlash")
            o.mount.decBacklashMs = x;
        else if (a == "--backlash-comp")
            o.backlashComp = x;
        else
            return false;
    }
    return (!o.files.empty() || !o.skies.empty()) && o.mount.raRate > 0 && o.mount.decRate > 0 &&
           o.mount.scale > 0;
}

void printRow(const char* label, const ReplayResult& r, double scale) {
    std::printf("  %-34s %6.3f %6.3f %6.3f px  %6.3f %6.3f %6.3f\"  %5d %8.0f ms\n", label,
                r.ra.rmsPx, r.dec.rmsPx, r.totalPx(), r.ra.rmsPx * scale, r.dec.rmsPx * scale,
                r.totalPx() * scale, r.ra.pulses + r.dec.pulses, r.ra.pulseMs + r.dec.pulseMs);
}

// "seeing=0.5,pe=4,worm=480,cycle=2,radrift=0,decdrift=0.5,wander=0.1,rho=0.3,gusts=4,
// dithers=0,seed=1": a synthetic sky made in memory instead of a file.
bool recipeFrom(const std::string& text, SkyRecipe& r) {
    const std::pair<const char*, double*> fields[] = {
        {"seeing", &r.seeing},       {"pe", &r.peakToPeak},         {"worm", &r.wormPeriod},
        {"cycle", &r.cycle},         {"radrift", &r.raDrift},       {"decdrift", &r.decDrift},
        {"wander", &r.wanderPx},     {"rho", &r.seeingCorrelation}, {"gusts", &r.gustsPerHour},
        {"dithers", &r.ditherEvery}, {"seconds", &r.seconds}};
    r.name = text;
    size_t at = 0;
    while (at < text.size()) {
        const size_t end = std::min(text.find(',', at), text.size());
        const std::string item = text.substr(at, end - at);
        const size_t eq = item.find('=');
        double value = 0;
        if (eq == std::string::npos || !number(item.c_str() + eq + 1, value))
            return false;
        const std::string key = item.substr(0, eq);
        bool known = false;
        if (key == "seed") {
            r.seed = static_cast<uint32_t>(value);
            known = true;
        }
        for (const auto& [name, to] : fields)
            if (key == name) {
                *to = value;
                known = true;
            }
        if (!known)
            return false;
        at = end + 1;
    }
    return true;
}

// The first run whose label starts with `start` and is not `except`.
const LawRun* runLabelled(const std::vector<LawRun>& runs, const std::string& start,
                          const std::string& except = "") {
    for (const LawRun& run : runs)
        if (run.label.rfind(start, 0) == 0 && run.label != except)
            return &run;
    return nullptr;
}

// The Predictive law against the best Hysteresis settings, and how far those stand above the
// sky's frame-to-frame scatter (near 1: the seeing leaves a law little to gain).
void printComparison(const std::vector<SkyRow>& sky, const std::vector<LawRun>& runs) {
    const SkyRow f = frameToFrameRms(sky);
    const double scatter = std::hypot(f.ra, f.dec);
    std::printf("  frame-to-frame scatter %.3f %.3f %.3f px\n", f.ra, f.dec, scatter);
    const std::string perAxis = "Hysteresis best per axis";
    const LawRun* both = runLabelled(runs, "Hysteresis best ", perAxis);
    const LawRun* axis = runLabelled(runs, perAxis);
    const LawRun* predictive = runLabelled(runs, "Predictive");
    if (!both || !axis)
        return;
    std::printf("  best Hysteresis: %.2f times the scatter\n", both->result.totalPx() / scatter);
    if (!predictive)
        return;
    const double p = predictive->result.totalPx();
    std::printf("  Predictive against the best Hysteresis: %+.1f %% (one setting), %+.1f %% "
                "(a setting per axis)\n",
                100 * (p / both->result.totalPx() - 1), 100 * (p / axis->result.totalPx() - 1));
}

int makeSkies(const char* dir) {
    for (const SkyRecipe& recipe : standardSkies()) {
        const std::string path = std::string(dir) + "/" + recipe.name + ".csv";
        if (!writeSky(path, makeSky(recipe))) {
            std::fprintf(stderr, "cannot write %s\n", path.c_str());
            return 1;
        }
        const SkyRow floor = seeingFloor(recipe);
        std::printf("%s  seeing floor %.3f %.3f %.3f px\n", path.c_str(), floor.ra, floor.dec,
                    std::hypot(floor.ra, floor.dec));
    }
    return 0;
}
} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--make-skies") == 0)
        return makeSkies(argv[2]);
    Options o;
    if (!parse(argc, argv, o)) {
        usage();
        return 2;
    }
    std::vector<std::pair<std::string, std::vector<SkyRow>>> skies;
    for (const std::string& file : o.files) {
        std::string error;
        skies.emplace_back(file, readSky(file, error));
        if (skies.back().second.empty()) {
            std::fprintf(stderr, "%s\n", error.c_str());
            return 1;
        }
    }
    for (const SkyRecipe& recipe : o.skies)
        skies.emplace_back(recipe.name, makeSky(recipe));
    for (const auto& [name, sky] : skies) {
        std::printf("%s: %zu frames, %.0f s\n", name.c_str(), sky.size(), sky.back().t);
        std::printf("  %-34s %6s %6s %6s     %6s %6s %6s   %6s %10s\n", "law", "RA", "Dec", "total",
                    "RA", "Dec", "total", "pulses", "length");
        const std::vector<LawRun> runs = lawRuns(sky, o.mount, o.law, o.grid, o.backlashComp);
        for (const LawRun& run : runs) {
            printRow(run.label.c_str(), run.result, o.mount.scale);
            if (!run.note.empty())
                std::printf("    (%s)\n", run.note.c_str());
        }
        printComparison(sky, runs);
    }
    return 0;
}
