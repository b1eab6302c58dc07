#include "indi_guiding_report.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <algorithm>
#include <cstdio>

namespace {
// The time within which every dither is meant to settle, s.
constexpr double kSettleGoalSec = 20;

double signedMs(const std::optional<PulseRequest>& p) {
    if (!p)
        return 0;
    const bool negative = p->direction == guideWest || p->direction == guideSouth;
    return negative ? -p->ms : p->ms;
}

void errorRow(const char* name, const AxisStats& a, double arcsecPerPx) {
    std::printf("  %-8s %9.3f %9.3f %9.3f %9.3f\n", name, a.rms * arcsecPerPx, a.rms, a.mean,
                a.maxAbs);
}

void lagRow(const char* name, const std::optional<LagFit>& fit) {
    if (!fit) {
        std::printf("  %-8s   not enough pulses to fit\n", name);
        return;
    }
    std::printf("  %-8s %11.3f %12.3f %15.3f %12.3f %8d\n", name, fit->nextFrame, fit->frameAfter,
                fit->driftPx, fit->residualPx, fit->samples);
}

void printCalibration(const RunResult& r) {
    if (!r.calibration) {
        std::printf("calibration: none\n");
        return;
    }
    const Calibration& c = *r.calibration;
    std::printf("calibration: %d frames; RA axis %.1f deg %.2f px/s", r.calibrationFrames,
                c.raAngle, c.raSpeed);
    if (c.hasDec)
        std::printf(", Dec axis %.1f deg %.2f px/s", c.decAngle, c.decSpeed);
    std::printf("\n");
}

void printDithers(const std::vector<DitherResult>& dithers) {
    if (dithers.empty())
        return;
    std::printf("  %-6s %18s %9s  %s\n", "dither", "move px", "settle s", "result");
    int settled = 0, inTime = 0;
    double longest = 0;
    for (size_t i = 0; i < dithers.size(); ++i) {
        const DitherResult& d = dithers[i];
        std::printf("  %-6zu (%7.2f, %7.2f) %9.1f  %s\n", i + 1, d.move.x(), d.move.y(), d.seconds,
                    d.settled ? "settled" : qPrintable(d.error));
        settled += d.settled ? 1 : 0;
        inTime += d.settled && d.seconds <= kSettleGoalSec ? 1 : 0;
        longest = std::max(longest, d.seconds);
    }
    std::printf("  settled %d of %zu, %d within %.0f s; longest %.1f s\n", settled, dithers.size(),
                inTime, kSettleGoalSec, longest);
}
// Each leg's error beside the first's: what the mount's moves cost without a new calibration.
void printLegs(const std::vector<GuidedLeg>& legs, const Calibration& c) {
    if (legs.empty())
        return;
    std::printf("  %-50s %6s %7s %7s %8s %8s %9s %s\n", "guided at", "cycles", "RA \"", "Dec \"",
                "total \"", "total px", "vs first", "RA speed");
    const MountAxes axes = mountAxesOf(c);
    const double first = guideFigures(legs.front().guided, axes).totalArcsec();
    for (const GuidedLeg& leg : legs) {
        const GuideFigures g = guideFigures(leg.guided, axes);
        std::printf("  %-50s %6d %7.3f %7.3f %8.3f %8.3f %8.0f%% x%.3f%s\n", qPrintable(leg.where),
                    g.cycles, g.raArcsec(), g.dec.rms * g.decArcsecPerPx, g.totalArcsec(),
                    g.totalPx(), first > 0 ? 100 * g.totalArcsec() / first : 0.0, leg.raSpeedRatio,
                    leg.recalibrated ? " (recalibrated)" : "");
    }
}
} // namespace

RunFigures figuresOf(int aggressiveness, RunResult run) {
    RunFigures f;
    f.aggressiveness = aggressiveness;
    f.run = std::move(run);
    const auto& records = f.run.guided;
    if (f.run.calibration) {
        f.guided = guideFigures(records, mountAxesOf(*f.run.calibration));
        f.lag = fitPulseLag(records, *f.run.calibration);
    }
    if (records.size() > 1)
        f.cycleSec =
            (records.back().time - records.front().time) / static_cast<double>(records.size() - 1);
    return f;
}

void printRun(const RunFigures& f, const BenchSettings& s) {
    const RunResult& r = f.run;
    std::printf("\n== aggressiveness %d%% ==\n", f.aggressiveness);
    if (!r.starChoice.isEmpty())
        std::printf("star: %s\n", qPrintable(r.starChoice));
    printCalibration(r);
    if (!r.guided.empty()) {
        const GuideFigures& g = f.guided;
        std::printf("guiding: %.1f min, %d cycles of %.2f s, %d with the star lost\n",
                    s.guideMinutes, g.cycles, f.cycleSec, g.lost);
        std::printf("  %-8s %9s %9s %9s %9s\n", "error", "rms \"", "rms px", "mean px", "max |px|");
        errorRow("RA", g.ra, g.raArcsecPerPx);
        errorRow("Dec", g.dec, g.decArcsecPerPx);
        std::printf("  %-8s %9.3f %9.3f\n", "total", g.totalArcsec(), g.totalPx());
        std::printf("  pulses: RA %d, mean %.0f ms; Dec %d, mean %.0f ms\n", g.raPulses,
                    g.raPulseMs, g.decPulses, g.decPulseMs);
        std::printf("  %-8s %11s %12s %15s %12s %8s\n", "lag", "next frame", "frame after",
                    "drift px/frame", "residual px", "samples");
        lagRow("RA", f.lag.ra);
        lagRow("Dec", f.lag.dec);
        lagRow("both", f.lag.both);
    }
    printDithers(r.dithers);
    if (r.calibration)
        printLegs(r.legs, *r.calibration);
    if (!r.problem.isEmpty())
        std::printf("stopped early: %s\n", qPrintable(r.problem));
}

void printSummary(const std::vector<RunFigures>& runs, const BenchSettings& s) {
    std::printf("\n%-5s %7s %7s %7s %7s %7s %7s %6s %6s %6s %8s %9s\n", "aggr", "RA \"", "Dec \"",
                "tot \"", "RA px", "Dec px", "tot px", "next", "after", "calib", "settled",
                "longest s");
    for (const RunFigures& f : runs) {
        const GuideFigures& g = f.guided;
        const std::optional<LagFit>& lag = f.lag.both ? f.lag.both : f.lag.ra;
        int settled = 0;
        double longest = 0;
        for (const DitherResult& d : f.run.dithers) {
            settled += d.settled ? 1 : 0;
            longest = std::max(longest, d.seconds);
        }
        std::printf("%4d%% %7.3f %7.3f %7.3f %7.3f %7.3f %7.3f %6.2f %6.2f %6d %4d/%-3zu %9.1f%s\n",
                    f.aggressiveness, g.raArcsec(), g.decArcsec(), g.totalArcsec(), g.ra.rms,
                    g.dec.rms, g.totalPx(), lag ? lag->nextFrame : 0, lag ? lag->frameAfter : 0,
                    f.run.calibrationFrames, settled, f.run.dithers.size(), longest,
                    f.run.problem.isEmpty() ? "" : "  (stopped early)");
    }
    std::printf("guided %.1f min a run; settle: %.1f px for %d s\n", s.guideMinutes,
                s.settle.pixels, s.settle.timeSec);
}

bool writeRecords(const QString& path, const std::vector<GuideRecord>& records,
                  const Calibration& c) {
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) ||
        !file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return false;
    QTextStream out(&file);
    out << "time,found,star_x,star_y,err_x,err_y,ra_px,dec_px,ra_pulse_ms,dec_pulse_ms\n";
    const MountAxes axes = mountAxesOf(c);
    const double start = records.empty() ? 0 : records.front().time;
    for (const GuideRecord& r : records) {
        const QPointF e = axes.split({r.raPx, r.decPx});
        out << QString::asprintf("%.3f,%d,%.2f,%.2f,%.3f,%.3f,%.3f,%.3f,%.0f,%.0f\n",
                                 r.time - start, r.found ? 1 : 0, r.starX, r.starY, r.raPx, r.decPx,
                                 e.x(), e.y(), signedMs(r.raPulse), signedMs(r.decPulse));
    }
    return out.status() == QTextStream::Ok;
}
