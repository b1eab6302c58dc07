#include "app/frmMain.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <QLabel>
#include <QSlider>

// A running exposure keeps its length; the new one applies from the next exposure on.
void frmMain::sldExposure_Change() {
    const int seconds = sldExposure->value();
    state.nextExposureSec = static_cast<float>(seconds);
    if (!state.previewing)
        lblLX->setText(QString::number(seconds));
    saveSetting(keys::Exposure.section, keys::Exposure.key, fromWhole(seconds));
}
