#include "app/frame_picture.h"
#include "app/frmMain.h"
#include "graph/graph_view_settings.h"
#include "graph/guide_panel.h"
#include "settings/setting_keys.h"

// The panel beside the frame; it reads the guiding settings each time it draws, and its view
// options are kept in the settings.
QWidget* frmMain::buildGuidePanel() {
    guidePanel = new GuidePanel(guideHistory(), *picFrame, [this] {
        return GraphLimits{state.minCorrection, state.arcsecPerPixelX, state.arcsecPerPixelY};
    });
    restoreGraphView(*guidePanel->graph, *platform().store);
    keepGraphView(*guidePanel->graph, [this](const SettingKey& key, const QString& text) {
        engine_.saveSetting(key.section, key.key, text);
    });
    return guidePanel;
}
