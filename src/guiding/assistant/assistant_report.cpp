#include "guiding/assistant/assistant_report.h"

namespace {
QString arcsec(double v, int decimals = 2) {
    return QStringLiteral("%1 arcsec").arg(v, 0, 'f', decimals);
}

QString perMinute(double v) {
    return QStringLiteral("%1%2 arcsec/min").arg(v >= 0 ? "+" : "").arg(v, 0, 'f', 2);
}

QString periodicErrorLine(const PeriodicError& pe) {
    if (!pe.measured)
        return QStringLiteral("Periodic error: ") + pe.note;
    return QStringLiteral("Periodic error: %1 peak to peak, period %2 s")
        .arg(arcsec(pe.peakToPeakArcsec, 1))
        .arg(pe.periodSec, 0, 'f', 0);
}

QString backlashLine(const AssistantResults& r) {
    if (r.backlash)
        return QStringLiteral("Dec backlash: %1%2 ms")
            .arg(r.backlash->atLeast ? QStringLiteral("at least ") : QString())
            .arg(r.backlash->ms, 0, 'f', 0);
    return QStringLiteral("Dec backlash: not measured (%1)").arg(r.backlashNote);
}

QStringList resultLines(const AssistantResults& r) {
    const AssistantFigures& f = r.figures;
    QStringList lines;
    lines << QStringLiteral("Run: %1 s, %2 frames, %3 lost; errors along %4")
                 .arg(f.durationSec, 0, 'f', 0)
                 .arg(f.frames)
                 .arg(f.lostFrames)
                 .arg(r.onMountAxes ? QStringLiteral("the calibrated mount axes")
                                    : QStringLiteral("the frame's x (RA) and y (Dec)"));
    lines << QStringLiteral("Seeing (frame to frame RMS): RA %1, Dec %2")
                 .arg(arcsec(f.ra.seeingRms), arcsec(f.dec.seeingRms));
    lines << QStringLiteral("Drift: RA %1, Dec %2")
                 .arg(perMinute(f.ra.driftPerMin), perMinute(f.dec.driftPerMin));
    lines << QStringLiteral("RMS about the drift: RA %1, Dec %2")
                 .arg(arcsec(f.ra.residualRms), arcsec(f.dec.residualRms));
    lines << periodicErrorLine(f.pe);
    lines << QStringLiteral("Polar alignment error: about %1 arcmin, from the Dec drift%2")
                 .arg(f.polar.errorArcmin, 0, 'f', 1)
                 .arg(f.polar.note.isEmpty() ? QString() : QStringLiteral("; ") + f.polar.note);
    if (r.backlash || !r.backlashNote.isEmpty())
        lines << backlashLine(r);
    return lines;
}

QStringList adviceLines(const AssistantAdvice& a) {
    QStringList lines;
    lines << QStringLiteral("Advice: exposure %1 s").arg(a.exposureMs / 1000.0);
    lines << QStringLiteral("Advice: the %1 law on both axes (%2)").arg(a.law, a.lawReason);
    lines << QStringLiteral("Advice: minimum move RA %1, Dec %2")
                 .arg(arcsec(a.raMinMoveArcsec), arcsec(a.decMinMoveArcsec));
    lines << QStringLiteral("Keeping the Standard law: minimum correction %1 and "
                            "aggressiveness %2 % (Options)")
                 .arg(arcsec(a.standardMinCorrectionArcsec, 1))
                 .arg(a.standardAggressiveness);
    return lines;
}
} // namespace

QStringList assistantReport(const AssistantResults& r) {
    return resultLines(r) + adviceLines(r.advice);
}
