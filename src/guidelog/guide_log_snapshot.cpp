#include "guidelog/guide_log_snapshot.h"

#include "engine/Globals.h"
#include "engine/guide_engine.h"
#include "guiding/calibration_store.h"

#include <cmath>

LogEquipment logEquipment(GuideEngine& engine) {
    const MainState& s = engine.state;
    LogEquipment e;
    e.camera = engine.cameraName();
    e.frameSize = engine.frame().image().size();
    e.pixelSizeUm = s.pixelSizeH;
    e.focalLengthMm = s.focalLength;
    e.scaleX = s.arcsecPerPixelX;
    e.scaleY = s.arcsecPerPixelY;
    e.exposureMs = static_cast<int>(std::lround(s.nextExposureSec * 1000.0));
    e.searchRegionPx = Globals::searchRadius;
    e.mount = engine.mountName();
    e.mountConnected = s.modeParallel || engine.telescopeMarked();
    return e;
}

// The calibration is the one corrections use: ticked, stored, and made with this image scale
// and guide output, as adjusted to where the mount points.
LogGuiding logGuiding(GuideEngine& engine) {
    const MainState& s = engine.state;
    LogGuiding g;
    g.raLaw = engine.lawLogText(false);
    g.decLaw = engine.lawLogText(true);
    g.decGuideMode = engine.decGuideModeLogText();
    g.raBacklashMs = s.raBacklash;
    g.decBacklashMs = engine.decBacklashInUse();
    g.raGuideRate = s.raGuideRate;
    g.decGuideRate = s.decGuideRate;
    g.reverseEW = s.reverseEW;
    g.reverseNS = s.reverseNS;
    const std::optional<Calibration>& c = engine.calibration();
    if (engine.usingCalibration() && c &&
        calibrationMismatch(*c, s.arcsecPerPixelX, s.arcsecPerPixelY, engine.guideOutputName())
            .isEmpty())
        g.calibration = adjustedCalibration(*c, engine.calibrationAdjustment());
    return g;
}

LogStar logStar(GuideEngine& engine) {
    LogStar star;
    star.lock = QPointF(engine.state.targetX, engine.state.targetY);
    const bool found = Globals::starX > 0 || Globals::starY > 0;
    if (found && engine.state.locked && !engine.state.lockLost)
        star.star = QPointF(Globals::starX, Globals::starY);
    const GuideHistory& history = engine.guideHistory();
    if (star.star && !history.empty() && history.last().found)
        star.hfd = history.last().star.hfd;
    return star;
}

void addPointing(LogEquipment& e, const MountPointing& p) {
    e.declinationDeg = p.decDeg;
    e.hourAngleH = p.hourAngleH;
    e.pierSide = p.pierSide;
}
