#include "app/frmMain.h"

#include <QCheckBox>
#include <QSlider>

// The engine loads the record; the controls then show what it loaded.
void frmMain::setDefaults() {
    engine_.loadSettings(startingUp_);
    const QSignalBlocker quietExposure(sldExposure);
    const QSignalBlocker quietAggressiveness(sldAggressiveness);
    const QSignalBlocker quietNS(chkRevNS);
    const QSignalBlocker quietEW(chkRevEW);
    sldExposure->setValue(engine_.sliderExposure());
    sldAggressiveness->setValue(engine_.aggressiveness());
    showAggressivenessValue(engine_.aggressiveness());
    chkRevNS->setChecked(state.reverseNS);
    chkRevEW->setChecked(state.reverseEW);
    showStatusNotes();
}
