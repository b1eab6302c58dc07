#include "engine/guide_engine.h"
#include "guidelog/guide_log_lines.h"
#include "guidelog/guide_log_observer.h"
#include "guidelog/guide_log_snapshot.h"

// The calibration section of GuideLogObserver.

void GuideLogObserver::calibrationStarted() {
    if (guiding_)
        guidingChanged(false);
    calibrating_ = true;
    leg_.reset();
    legPlacesWritten_ = 0;
    LogEquipment equipment = logEquipment(engine_);
    addPointing(equipment, engine_.mountPointing());
    beginSection(calibrationHeaderLines(QDateTime::currentDateTime(), equipment, logStar(engine_)));
}

// Writes the places of this direction not written yet; a new direction first ends the last.
// A direction's first place (before its first pulse) is told with its first step.
void GuideLogObserver::calibrationStepped(const CalibrationProgress& progress) {
    if (!calibrating_)
        return;
    if (leg_ && *leg_ != progress.direction) {
        writeLegSummary(*leg_);
        legPlacesWritten_ = 0;
    }
    leg_ = progress.direction;
    const CalibrationLeg& leg = engine_.calibrator().path().leg(progress.direction);
    QStringList lines;
    for (; legPlacesWritten_ < static_cast<qsizetype>(leg.points.size()); ++legPlacesWritten_)
        lines << calibrationStepLine(progress.direction, static_cast<int>(legPlacesWritten_) + 1,
                                     leg.points.front(), leg.points[legPlacesWritten_]);
    write(lines);
}

void GuideLogObserver::calibrationCompleted() {
    if (calibrating_ && leg_)
        writeLegSummary(*leg_);
    endCalibration(QStringLiteral("Calibration complete, mount = %1.").arg(engine_.mountName()));
}

void GuideLogObserver::calibrationFailed(const QString& reason) {
    const QString failed = QStringLiteral("Calibration failed");
    endCalibration(reason.startsWith(failed) ? reason : failed + QStringLiteral(": ") + reason);
}

void GuideLogObserver::endCalibration(const QString& last) {
    if (!calibrating_)
        return;
    calibrating_ = false;
    write({last});
}

// Dec parity compares the North motion with the East motion the West direction showed.
void GuideLogObserver::writeLegSummary(GuideDirection direction) {
    const CalibrationPath& path = engine_.calibrator().path();
    const std::optional<LegSummary> summary = legSummary(path.leg(direction));
    if (!summary)
        return;
    bool reversed = false;
    const std::optional<LegSummary> west = legSummary(path.west);
    if ((direction == guideNorth || direction == guideSouth) && west)
        reversed = decReversed(-west->motion,
                               direction == guideNorth ? summary->motion : -summary->motion);
    write({legSummaryLine(direction, *summary, reversed)});
}
