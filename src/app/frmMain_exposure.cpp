#include "app/frmMain.h"

#include <QLabel>
#include <QProgressBar>
#include <QSlider>
#include <cmath>

void frmMain::cmdPreview_Click() {
    engine_.toggleLoop();
}

void frmMain::HalfSecTimer_Timer() {
    engine_.tick();
}

// The progress bar counts half-second ticks.
void frmMain::showProgress(float elapsedSec, float maximumSec) {
    ExposureProgress->setMaximum(static_cast<int>(std::ceil(maximumSec * 2)));
    ExposureProgress->setValue(static_cast<int>(elapsedSec * 2));
}

void frmMain::PostLX() {
    engine_.PostLX();
}

void frmMain::sldExposure_Change() {
    engine_.setSliderExposure(sldExposure->value());
}

// A drag that ends on the value it started from changes nothing, yet it means the slider's
// length again.
void frmMain::sldExposure_Released() {
    if (engine_.exposureSetSec() > 0)
        sldExposure_Change();
}

// The slider follows the engine's length; one it cannot show is written beside it.
void frmMain::showExposureSet() {
    const QSignalBlocker quiet(sldExposure);
    sldExposure->setValue(engine_.sliderExposure());
    const double set = engine_.exposureSetSec();
    lblExposureSet->setVisible(set > 0);
    if (set > 0)
        lblExposureSet->setText(QStringLiteral("%1 s").arg(set));
}
