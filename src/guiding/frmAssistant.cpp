#include "guiding/frmAssistant.h"

#include "engine/guide_engine.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

frmAssistant::frmAssistant(GuideEngine& engine, QWidget* parent)
    : QWidget(parent, Qt::Tool), engine_(engine) {
    setWindowTitle(QStringLiteral("Guiding Assistant"));
    buildControls();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Duration"), spnDuration);
    form->addRow(chkBacklash);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {cmdStart, cmdStop, cmdApply})
        buttons->addWidget(b);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(prgRun);
    layout->addWidget(lblStatus);
    layout->addWidget(lblResults);

    connect(cmdStart, &QPushButton::clicked, this, &frmAssistant::cmdStart_Click);
    connect(cmdStop, &QPushButton::clicked, this, [this] { engine_.stopAssistant(); });
    connect(cmdApply, &QPushButton::clicked, this, &frmAssistant::cmdApply_Click);
    connect(&engine_, &GuideEngine::assistantProgress, this, &frmAssistant::showProgress);
    connect(&engine_, &GuideEngine::assistantDone, this, &frmAssistant::showState);
    connect(&engine_, &GuideEngine::changed, this, &frmAssistant::showState);
    showState();
}

void frmAssistant::buildControls() {
    spnDuration = new QSpinBox(this);
    spnDuration->setRange(static_cast<int>(GuideEngine::kAssistantMinSec),
                          static_cast<int>(GuideEngine::kAssistantMaxSec));
    spnDuration->setValue(static_cast<int>(GuideEngine::kAssistantDefaultSec));
    spnDuration->setSuffix(QStringLiteral(" s"));
    spnDuration->setToolTip(QStringLiteral("How long to record the star with corrections off; "
                                           "the periodic error needs 1.5 worm periods"));
    chkBacklash = new QCheckBox(QStringLiteral("Measure Dec backlash"), this);
    chkBacklash->setToolTip(QStringLiteral("Afterwards, pulse North then South and time the "
                                           "South pulses lost before the star moves"));
    cmdStart = new QPushButton(QStringLiteral("Start"), this);
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    cmdApply = new QPushButton(QStringLiteral("Apply"), this);
    cmdApply->setToolTip(QStringLiteral("Use the advised exposure, guide law and minimum moves"));
    prgRun = new QProgressBar(this);
    prgRun->setRange(0, 1000);
    prgRun->setTextVisible(false);
    lblStatus = new QLabel(this);
    lblResults = new QLabel(this);
    lblResults->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblResults->setWordWrap(true);
    lblResults->setMinimumWidth(420);
}

// A start the engine refuses says why in the status line (and the engine's status bar note).
void frmAssistant::cmdStart_Click() {
    if (!engine_.startAssistant(spnDuration->value(), chkBacklash->isChecked()))
        lblStatus->setText(engine_.whyAssistantCannotStart());
}

void frmAssistant::cmdApply_Click() {
    if (engine_.applyAssistantAdvice())
        lblStatus->setText(QStringLiteral("Advice applied"));
}

void frmAssistant::showProgress(double elapsedSec, double durationSec) {
    if (engine_.assistantMeasuringBacklash()) {
        prgRun->setRange(0, 0);
        lblStatus->setText(QStringLiteral("Measuring the Dec backlash"));
        return;
    }
    prgRun->setRange(0, 1000);
    prgRun->setValue(durationSec > 0 ? static_cast<int>(1000 * elapsedSec / durationSec) : 0);
    lblStatus->setText(QStringLiteral("Recording: %1 of %2 s, no corrections")
                           .arg(elapsedSec, 0, 'f', 0)
                           .arg(durationSec, 0, 'f', 0));
}

void frmAssistant::showState() {
    const bool running = engine_.assisting();
    cmdStart->setEnabled(!running);
    cmdStop->setEnabled(running);
    spnDuration->setEnabled(!running);
    chkBacklash->setEnabled(!running);
    const auto& results = engine_.assistantResults();
    cmdApply->setEnabled(!running && results.has_value());
    if (running)
        return;
    prgRun->setRange(0, 1000);
    prgRun->setValue(results ? 1000 : 0);
    lblResults->setText(results ? assistantReport(*results).join('\n') : QString());
    if (lblStatus->text().startsWith(QStringLiteral("Recording")) ||
        lblStatus->text().startsWith(QStringLiteral("Measuring")))
        lblStatus->setText(results ? QStringLiteral("Done") : QStringLiteral("Stopped"));
    else if (lblStatus->text().isEmpty())
        lblStatus->setText(QStringLiteral("Lock a star with the loop running, then Start"));
}
