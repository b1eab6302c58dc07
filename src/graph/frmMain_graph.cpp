#include "app/Globals.h"
#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "graph/graph_view_settings.h"
#include "graph/guide_panel.h"
#include "guiding/calibration.h"
#include "guiding/calibration_store.h"
#include "measure/star_search.h"
#include "settings/setting_keys.h"

#include <QDateTime>

// The panel beside the frame; it reads the guiding settings each time it draws, and its view
// options are kept in the settings.
QWidget* frmMain::buildGuidePanel() {
    guidePanel = new GuidePanel(guideHistory_, *picFrame, [this] {
        return GraphLimits{state.minCorrection, state.arcsecPerPixelX, state.arcsecPerPixelY};
    });
    restoreGraphView(*guidePanel->graph, *platform_.store);
    keepGraphView(*guidePanel->graph, [this](const SettingKey& key, const QString& text) {
        saveSetting(key.section, key.key, text);
    });
    return guidePanel;
}

// This cycle's record: its errors as the cycle computed them and the star's measures, taken
// from the same frame and search window size as the centroid.
GuideRecord frmMain::newCycleRecord(bool found) {
    GuideRecord r;
    r.time = static_cast<double>(QDateTime::currentMSecsSinceEpoch()) / 1000.0;
    r.guiding = state.guiding;
    r.found = found;
    if (!found)
        return r;
    r.raPx = state.errX;
    r.decPx = state.errY;
    r.raArcsec = state.errX * state.arcsecPerPixelX;
    r.decArcsec = state.errY * state.arcsecPerPixelY;
    r.starX = Globals::starX;
    r.starY = Globals::starY;
    r.star = measureStarAt(*picFrame, measuredRawFrame(), Globals::starX, Globals::starY,
                           Globals::searchRadius);
    // Read without touching the calibration's status conditions.
    if (calibration_ && calibrationMismatch(*calibration_, state.arcsecPerPixelX,
                                            state.arcsecPerPixelY, guideOutputName())
                            .isEmpty()) {
        const CalibratedError e = calibratedError(*calibration_, state.errX, state.errY);
        r.onMountAxes = true;
        r.mountRaArcsec = e.ra;
        r.mountDecArcsec = -e.dec; // North is negative, as in the frame's errors
    }
    return r;
}
