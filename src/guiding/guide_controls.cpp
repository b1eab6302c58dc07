#include "app/frmMain.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <QSlider>

void frmMain::sldAggressiveness_Change() {
    const int percent = sldAggressiveness->value();
    state.aggressiveness = percent / 100.0;
    saveSetting(keys::Aggressiveness.section, keys::Aggressiveness.key, fromWhole(percent));
}
