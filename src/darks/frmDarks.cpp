#include "darks/frmDarks.h"

#include "engine/guide_engine.h"
#include "platform/store/settings_store.h"
#include "settings/settings_reader.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

frmDarks::frmDarks(GuideEngine& engine, QWidget* parent)
    : QWidget(parent, Qt::Tool), engine_(engine) {
    setWindowTitle(QStringLiteral("Take Darks"));
    buildControls();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Darks per exposure"), spnFrames);
    form->addRow(QStringLiteral("Exposures (s)"), txtExposures);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdStart);
    buttons->addWidget(cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(lblPrompt);
    layout->addLayout(buttons);
    layout->addWidget(prgDarks);
    layout->addWidget(lblStatus);

    connect(cmdStart, &QPushButton::clicked, this, &frmDarks::cmdStart_Click);
    connect(txtExposures, &QLineEdit::textChanged, this, &frmDarks::checkExposures);
    connect(cmdCancel, &QPushButton::clicked, this, &frmDarks::cmdCancel_Click);
    connect(&engine_, &GuideEngine::darksProgress, this, &frmDarks::showProgress);
    connect(&engine_, &GuideEngine::darksDone, this,
            [this](bool, const QString& text) { showDone(text); });
    connect(&engine_, &GuideEngine::changed, this, &frmDarks::showState);
    showState();
}

void frmDarks::buildControls() {
    SettingsReader in(*engine_.platform().store);
    spnFrames = new QSpinBox(this);
    spnFrames->setRange(1, DarkPlan::kMaxFrames);
    spnFrames->setValue(
        static_cast<int>(in.whole(keys::DarksPerExposure, 1, DarkPlan::kMaxFrames)));
    spnFrames->setToolTip(QStringLiteral("Combined into one dark per exposure; more darks, "
                                         "less noise in the dark"));
    txtExposures = new QLineEdit(this);
    txtExposures->setToolTip(QStringLiteral("One or more exposure lengths in seconds, e.g. "
                                            "\"1, 2, 4\"; a frame uses the dark of its own "
                                            "length, else the nearest within a factor of 2"));
    lblPrompt = new QLabel(QStringLiteral("Cover the camera, then press Start"), this);
    cmdStart = new QPushButton(QStringLiteral("Start"), this);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    prgDarks = new QProgressBar(this);
    prgDarks->setRange(0, 1);
    prgDarks->setValue(0);
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    lblStatus->setMinimumWidth(320);
}

// Opened again, the list offers the exposure in use.
void frmDarks::showEvent(QShowEvent* event) {
    if (!engine_.takingDarks())
        txtExposures->setText(QString::number(engine_.state.nextExposureSec, 'g', 4));
    QWidget::showEvent(event);
}

QString frmDarks::exposuresProblem() const {
    if (parseExposureList(txtExposures->text(), kMaxExposureSec))
        return {};
    return QStringLiteral("Exposures: numbers of seconds above 0 and up to %1, e.g. 1, 2, 4")
        .arg(kMaxExposureSec);
}

// As it is typed: a list that cannot be used is marked and said at once.
void frmDarks::checkExposures() {
    const QString problem = exposuresProblem();
    txtExposures->setProperty("unusable", !problem.isEmpty());
    txtExposures->setStyleSheet(
        problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 1px solid red; }"));
    if (!problem.isEmpty())
        lblStatus->setText(problem);
    else if (lblStatus->text().startsWith(QStringLiteral("Exposures:")))
        lblStatus->clear();
}

void frmDarks::cmdStart_Click() {
    const std::optional<std::vector<double>> exposures =
        parseExposureList(txtExposures->text(), kMaxExposureSec);
    if (!exposures) {
        lblStatus->setText(exposuresProblem());
        return;
    }
    engine_.saveSetting(keys::DarksPerExposure.section, keys::DarksPerExposure.key,
                        QString::number(spnFrames->value()));
    if (!engine_.startDarks({spnFrames->value(), *exposures}))
        lblStatus->setText(engine_.whyDarksCannotStart());
}

// Stops a run; with none running, closes the window.
void frmDarks::cmdCancel_Click() {
    if (engine_.takingDarks())
        engine_.stopDarks();
    else
        close();
}

void frmDarks::showProgress(int taken, int wanted, double exposureSec) {
    prgDarks->setRange(0, wanted);
    prgDarks->setValue(taken);
    lblStatus->setText(QStringLiteral("Dark %1 of %2 (%3)")
                           .arg(std::min(taken + 1, wanted))
                           .arg(wanted)
                           .arg(exposureText(exposureSec)));
}

void frmDarks::showDone(const QString& text) {
    lblStatus->setText(text);
}

void frmDarks::showState() {
    const bool running = engine_.takingDarks();
    cmdStart->setEnabled(!running);
    spnFrames->setEnabled(!running);
    txtExposures->setEnabled(!running);
}
