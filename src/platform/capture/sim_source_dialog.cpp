#include "platform/capture/sim_source_dialog.h"

#include "sim/sky_settings.h"
#include "sim/sky_simulator.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QSpinBox>

SimSourceDialog::SimSourceDialog(SkySimulator& sky, SettingsStore& store, QWidget* parent)
    : QDialog(parent), sky_(sky), store_(store), opened_(sky.options()) {
    setWindowTitle(QStringLiteral("Simulator Source"));
    auto* form = new QFormLayout(this);
    for (const SkyOptionField& field : skyOptionFields()) {
        auto* spin = new QDoubleSpinBox(this);
        spin->setRange(field.min, field.max);
        spin->setDecimals(field.decimals);
        spin->setSuffix(QLatin1String(field.unit));
        spin->setValue(opened_.*field.member);
        form->addRow(QLatin1String(field.key), spin);
        spnOptions.push_back(spin);
        connect(spin, &QDoubleSpinBox::valueChanged, this, &SimSourceDialog::applyShown);
    }
    spnSeed = new QSpinBox(this);
    spnSeed->setRange(0, static_cast<int>(kMaxSkySeed));
    spnSeed->setValue(static_cast<int>(opened_.seed));
    form->addRow(QLatin1String(kSkySeedKey), spnSeed);
    connect(spnSeed, &QSpinBox::valueChanged, this, &SimSourceDialog::applyShown);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &SimSourceDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &SimSourceDialog::reject);
}

SkyOptions SimSourceDialog::shownOptions() const {
    SkyOptions options = opened_;
    const auto fields = skyOptionFields();
    for (size_t i = 0; i < fields.size(); ++i)
        options.*fields[i].member = spnOptions[i]->value();
    options.seed = static_cast<uint32_t>(spnSeed->value());
    return options;
}

void SimSourceDialog::applyShown() {
    sky_.setOptions(shownOptions());
}

void SimSourceDialog::accept() {
    applyShown();
    saved_ = saveSkyOptions(store_, shownOptions());
    QDialog::accept();
}

void SimSourceDialog::reject() {
    sky_.setOptions(opened_);
    QDialog::reject();
}
