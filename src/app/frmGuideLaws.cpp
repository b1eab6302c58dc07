#include "app/frmGuideLaws.h"

#include "engine/guide_engine.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

frmGuideLaws::frmGuideLaws(GuideEngine& engine, QWidget* parent)
    : QDialog(parent), engine_(engine) {
    setObjectName("frmGuideLaws");
    setWindowTitle("Guide Law Options");
    auto* layout = new QVBoxLayout(this);
    for (bool dec : {false, true}) {
        auto* box = new QGroupBox(dec ? "Dec" : "RA", this);
        auto* form = new QFormLayout(box);
        cboLaw[dec] = new QComboBox(box);
        cboLaw[dec]->setObjectName(dec ? "cboDecLaw" : "cboRALaw");
        cboLaw[dec]->addItems(guideLawNames());
        cboLaw[dec]->setCurrentText(engine_.law(dec).name());
        form->addRow("Law", cboLaw[dec]);
        params_[dec] = new QFormLayout;
        form->addRow(params_[dec]);
        connect(cboLaw[dec], &QComboBox::currentTextChanged, this,
                [this, dec](const QString& name) { lawChosen(dec, name); });
        showParams(dec);
        layout->addWidget(box);
    }
    auto* decForm = new QFormLayout;
    cboDecMode = new QComboBox(this);
    cboDecMode->setObjectName("cboDecMode");
    cboDecMode->addItems({"Auto", "North", "South"});
    cboDecMode->setCurrentText(decGuideModeText(engine_.decGuideMode()));
    cboDecMode->setToolTip("With Dec corrections on (Options): both ways, or one way only");
    connect(cboDecMode, &QComboBox::currentTextChanged, this,
            [this](const QString& mode) { engine_.setDecGuideMode(decGuideModeFrom(mode)); });
    decForm->addRow("Dec guide mode", cboDecMode);
    layout->addLayout(decForm);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    layout->addWidget(buttons);
}

void frmGuideLaws::lawChosen(bool dec, const QString& name) {
    engine_.chooseLaw(dec, name);
    showParams(dec);
}

// One spin box per parameter of the axis's law, in its range and unit.
void frmGuideLaws::showParams(bool dec) {
    QFormLayout* form = params_[dec];
    while (form->rowCount() > 0)
        form->removeRow(0);
    for (const LawParam& p : engine_.law(dec).params()) {
        auto* spin = new QDoubleSpinBox(this);
        spin->setObjectName(QStringLiteral("%1 %2").arg(dec ? "Dec" : "RA", p.name));
        spin->setRange(p.min, p.max);
        spin->setDecimals(p.unit == QLatin1String("%") ? 0 : 2);
        spin->setSingleStep(p.unit == QLatin1String("%") ? 5 : 0.05);
        spin->setSuffix(QLatin1Char(' ') + p.unit);
        spin->setValue(p.value);
        const QString name = p.name;
        connect(spin, &QDoubleSpinBox::valueChanged, this,
                [this, dec, name](double value) { engine_.setLawParam(dec, name, value); });
        form->addRow(p.name, spin);
    }
}
