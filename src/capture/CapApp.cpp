#include "capture/CapApp.h"

#include "app/frmMain.h"
#include "capture/VFW.h"

#include <QAction>
#include <QMenu>

namespace {
constexpr int kDriverIndices = 9;
}

int fillDriverMenu(frmMain& form) {
    CaptureDrivers& drivers = *form.platform().capture;
    int count = 0;
    for (int index = 0; index < kDriverIndices; ++index) {
        QString name, version;
        if (!drivers.description(index, name, version))
            continue;
        QAction* entry = form.driverMenuEntry(index);
        entry->setText(name + u' ' + version);
        entry->setEnabled(true);
        ++count;
    }
    return count;
}

bool connectDriver(frmMain& form, CaptureWindow* window, int index) {
    if (!capDriverConnect(window, index))
        return false;
    CAPDRIVERCAPS caps;
    if (capDriverGetCaps(window, caps)) {
        for (QAction* entry : form.mnuDriver)
            if (entry)
                entry->setChecked(false);
        if (QAction* entry = form.mnuDriver.value(index))
            entry->setChecked(true);
        for (QAction* item : {form.mnuSource, form.mnuFormat, form.mnuDisplay, form.mnuOverlay})
            item->setEnabled(false);
        form.mnuSource->setEnabled(caps.fHasDlgVideoSource);
        form.mnuFormat->setEnabled(caps.fHasDlgVideoFormat);
        form.mnuDisplay->setEnabled(caps.fHasDlgVideoDisplay);
        form.mnuOverlay->setEnabled(caps.fHasOverlay);
    }
    capPreviewRate(window, 66);
    return true;
}
