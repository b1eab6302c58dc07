#include "app/frmMain.h"
#include "settings/convert.h"
#include "settings/setting_keys.h"

#include <QLabel>
#include <QSlider>

// A running exposure keeps its length; the new one applies from the next exposure on.
void frmMain::sldExposure_Change() {
    const int seconds = sldExposure->value();
    state.nextExposureSec = static_cast<float>(seconds);
    lblExposureSet->hide();
    if (!state.previewing)
        lblLX->setText(QString::number(seconds));
    saveSetting(keys::Exposure.section, keys::Exposure.key, fromWhole(seconds));
}

void frmMain::setExposureMs(int ms) {
    const int seconds = ms / 1000;
    if (ms % 1000 == 0 && seconds >= sldExposure->minimum() && seconds <= sldExposure->maximum()) {
        if (sldExposure->value() == seconds)
            sldExposure_Change(); // back from a length the slider could not show
        else
            sldExposure->setValue(seconds);
        return;
    }
    state.nextExposureSec = static_cast<float>(ms) / 1000.0f;
    lblExposureSet->setText(QStringLiteral("%1 s").arg(ms / 1000.0));
    lblExposureSet->show();
}

// A drag that ends on the value it started from changes nothing, yet it means the slider's
// length again.
void frmMain::sldExposure_Released() {
    if (!lblExposureSet->isHidden())
        sldExposure_Change();
}
