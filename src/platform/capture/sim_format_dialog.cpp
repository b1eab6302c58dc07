#include "platform/capture/sim_format_dialog.h"

#include "sim/sky_settings.h"
#include "sim/sky_simulator.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>

SimFormatDialog::SimFormatDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent)
    : QDialog(parent), sky_(sky), store_(store) {
    setWindowTitle(QStringLiteral("Simulator Format"));
    auto* form = new QFormLayout(this);
    cboSize = new QComboBox(this);
    for (QSize size : kSkyFrameSizes)
        cboSize->addItem(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()), size);
    cboSize->setCurrentIndex(std::max(0, cboSize->findData(sky.frameSize())));
    form->addRow(QStringLiteral("Frame size"), cboSize);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SimFormatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SimFormatDialog::reject);
}

QSize SimFormatDialog::chosenSize() const {
    return cboSize->currentData().toSize();
}

void SimFormatDialog::accept() {
    sky_.setFrameSize(chosenSize());
    saved_ = saveSkyFrameSize(store_, chosenSize());
    QDialog::accept();
}
