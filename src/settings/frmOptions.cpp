#include "settings/frmOptions.h"

#include "app/button_colour.h"
#include "app/frmMain.h"
#include "engine/Globals.h"
#include "platform/parport/port_io.h"
#include "settings/options_rules.h"
#include "settings/setting_keys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <initializer_list>

namespace {
void enableAll(const std::optional<bool>& on, std::initializer_list<QWidget*> widgets) {
    if (!on)
        return;
    for (QWidget* w : widgets)
        w->setEnabled(*on);
}

void enableAll(const std::optional<bool>& on, const frmOptions::BitButtons& buttons) {
    if (!on)
        return;
    for (QRadioButton* b : buttons)
        b->setEnabled(*on);
}
} // namespace

frmOptions::frmOptions(frmMain& main, SettingsStore& store, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      main_(main), store_(store), bitGroups_{{{keys::North, optPPNorth},
                                              {keys::South, optPPSouth},
                                              {keys::East, optPPEast},
                                              {keys::West, optPPWest},
                                              {keys::LXA, optLXA},
                                              {keys::LXB, optLXB},
                                              {keys::AmpOff, optAmpOff}}} {
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* v = new QVBoxLayout(this);
    OptionsTab = new QTabWidget(this);
    OptionsTab->setObjectName(QStringLiteral("OptionsTab"));
    OptionsTab->addTab(buildCameraTab(), QStringLiteral("Camera"));
    OptionsTab->addTab(buildGuideScopeTab(), QStringLiteral("GuideScope"));
    OptionsTab->addTab(buildGuidingTab(), QStringLiteral("Guiding Parameters"));
    OptionsTab->addTab(buildRelayBoxTab(), QStringLiteral("Relay Box"));
    OptionsTab->addTab(buildLoggingTab(), QStringLiteral("Logging"));
    v->addWidget(OptionsTab);
    lblOptionsProblem = new QLabel(this);
    lblOptionsProblem->setObjectName(QStringLiteral("lblOptionsProblem"));
    lblOptionsProblem->setStyleSheet(QStringLiteral("QLabel { color: red; }"));
    v->addWidget(lblOptionsProblem);
    v->addLayout(buildButtonRow());

    fillPortList();
    connectChecks();
    connectReactions();
    loadOptions();
    showImageScale();
    showProblems();
    cmdOptionsApply->setEnabled(false);
}

void frmOptions::showImageScale() {
    lblImageScale->setText(imageScaleText(txtHrzPixelSize->text(), txtVrtPixelSize->text(),
                                          txtGuideFocalLength->text()));
}

// Value changes run their reaction whether the operator or the load made them, and only when
// the value really changes.
void frmOptions::connectReactions() {
    for (QLineEdit* box : {txtHrzPixelSize, txtVrtPixelSize, txtPostLXTime, txtGuideFocalLength,
                           txtRadius, txtRAGuideRate, txtDecGuideRate, txtRABacklash,
                           txtDecBacklash, txtMinError, txtMaxError, txtLogFilename})
        connect(box, &QLineEdit::textChanged, this, &frmOptions::pendingChange);
    for (QCheckBox* box : {chkDecCorrect, chkAutostarPulseGuide, chkSerialActive, chkAppendLog})
        connect(box, &QCheckBox::toggled, this, &frmOptions::pendingChange);
    for (QRadioButton* pin : {RTScontrol, DTRcontrol})
        connect(pin, &QRadioButton::toggled, this, [this](bool selected) {
            if (selected)
                pendingChange();
        });
    for (BitGroup& group : bitGroups_)
        connectBitGroup(group.buttons);
    for (QLineEdit* box : {txtHrzPixelSize, txtVrtPixelSize, txtGuideFocalLength})
        connect(box, &QLineEdit::textChanged, this, &frmOptions::showImageScale);
    connect(chkAdvancedMod, &QCheckBox::toggled, this, &frmOptions::chkAdvancedMod_Click);
    connect(chkAmpOff, &QCheckBox::toggled, this, &frmOptions::chkAmpOff_Click);
    connect(chkVXModified, &QCheckBox::toggled, this, &frmOptions::chkVXModified_Click);
    connect(LXPortList, &QListWidget::currentRowChanged, this, &frmOptions::LXPortList_Click);

    connect(cmdOptionsApply, &QPushButton::clicked, this, &frmOptions::cmdOptionsApply_Click);
    connect(cmdOptionsOK, &QPushButton::clicked, this, &frmOptions::cmdOptionsOK_Click);
    connect(cmdOptionsCancel, &QPushButton::clicked, this, &frmOptions::cmdOptionsCancel_Click);
    connect(cmdClrParPort, &QPushButton::clicked, this, &frmOptions::cmdClrParPort_Click);
}

void frmOptions::connectBitGroup(BitButtons& buttons) {
    for (QRadioButton* b : buttons)
        connect(b, &QRadioButton::toggled, this, [this, &buttons](bool selected) {
            if (!selected)
                return;
            paintBitGroup(buttons);
            pendingChange();
        });
}

void frmOptions::paintBitGroup(const BitButtons& buttons) {
    for (QRadioButton* b : buttons)
        setButtonColour(b, Colour::Red);
    for (QRadioButton* b : buttons)
        if (b->isChecked())
            setButtonColour(b, Colour::Green);
}

void frmOptions::pendingChange() {
    cmdOptionsApply->setEnabled(true);
}

void frmOptions::chkAdvancedMod_Click() {
    const bool on = chkAdvancedMod->isChecked();
    fraLXFrameB->setEnabled(on);
    enableAll(on, optLXB);
    pendingChange();
}

void frmOptions::chkAmpOff_Click() {
    const bool on = chkAmpOff->isChecked();
    fraLXAmpOff->setEnabled(on);
    enableAll(on, optAmpOff);
    pendingChange();
}

void frmOptions::chkVXModified_Click() {
    applyEnabling(vxModifiedEnabling(chkVXModified->isChecked(), LXPortList->currentRow()));
    pendingChange();
}

void frmOptions::LXPortList_Click() {
    pendingChange();
    applyEnabling(lxPortEnabling(LXPortList->currentRow(), chkAdvancedMod->isChecked(),
                                 chkAmpOff->isChecked()));
}

void frmOptions::applyEnabling(const LXEnabling& e) {
    enableAll(e.portLabel, {lblLXPort});
    enableAll(e.portList, {LXPortList});
    enableAll(e.postLXTime, {lblPostLXTime, txtPostLXTime});
    enableAll(e.serialControls, {frameSerialControl, DTRcontrol, RTScontrol, chkSerialActive});
    enableAll(e.frameA, {fraLXFrameA});
    enableAll(e.frameAButtons, optLXA);
    enableAll(e.frameB, {fraLXFrameB});
    enableAll(e.frameB, optLXB);
    enableAll(e.ampOffGroup, {fraLXAmpOff});
    enableAll(e.ampOffGroup, optAmpOff);
    if (e.clearModChecks) {
        chkAdvancedMod->setChecked(false);
        chkAmpOff->setChecked(false);
    }
    enableAll(e.modChecks, {chkAdvancedMod, chkAmpOff});
}

void frmOptions::connectChecks() {
    checkedBoxes_ = {{txtHrzPixelSize, OptionField::HrzPixelSize},
                     {txtVrtPixelSize, OptionField::VrtPixelSize},
                     {txtPostLXTime, OptionField::PostLXTime},
                     {txtGuideFocalLength, OptionField::FocalLength},
                     {txtRadius, OptionField::Radius},
                     {txtRAGuideRate, OptionField::RAGuideRate},
                     {txtDecGuideRate, OptionField::DecGuideRate},
                     {txtMaxError, OptionField::MaxError},
                     {txtMinError, OptionField::MinError},
                     {txtRABacklash, OptionField::RABacklash},
                     {txtDecBacklash, OptionField::DecBacklash}};
    for (const CheckedBox& c : checkedBoxes_)
        connect(c.box, &QLineEdit::textChanged, this, &frmOptions::showProblems);
}

QString frmOptions::boxProblem(const CheckedBox& c) const {
    const QString problem = fieldProblem(c.field, c.box->text());
    if (!problem.isEmpty() || c.field != OptionField::MinError)
        return problem;
    return errorOrderProblem(txtMinError->text(), txtMaxError->text());
}

void frmOptions::showProblems() {
    QString first;
    for (const CheckedBox& c : checkedBoxes_) {
        const QString problem = boxProblem(c);
        c.box->setProperty("unusable", !problem.isEmpty());
        c.box->setStyleSheet(
            problem.isEmpty() ? QString() : QStringLiteral("QLineEdit { border: 1px solid red; }"));
        if (first.isEmpty())
            first = problem;
    }
    lblOptionsProblem->setText(first);
}

bool frmOptions::readyToSave() {
    for (const CheckedBox& c : checkedBoxes_) {
        const QString problem = boxProblem(c);
        if (problem.isEmpty())
            continue;
        main_.note(QStringLiteral("Options not saved: %1").arg(problem));
        QWidget* tab = c.box;
        while (tab && OptionsTab->indexOf(tab) < 0)
            tab = tab->parentWidget();
        if (tab)
            OptionsTab->setCurrentWidget(tab);
        c.box->setFocus();
        return false;
    }
    return true;
}

void frmOptions::cmdOptionsApply_Click() {
    if (readyToSave())
        saveOptions();
}

void frmOptions::cmdOptionsOK_Click() {
    if (cmdOptionsApply->isEnabled() && !readyToSave())
        return;
    if (cmdOptionsApply->isEnabled())
        saveOptions();
    cmdOptionsApply->setEnabled(false);
    hide();
}

void frmOptions::cmdOptionsCancel_Click() {
    cmdOptionsApply->setEnabled(false);
    loadOptions();
    hide();
}

void frmOptions::reject() {
    cmdOptionsCancel_Click();
}

void frmOptions::closeEvent(QCloseEvent* event) {
    event->accept();
}

// Clears the port the main window loaded last, not the one chosen in the list. Without a
// parallel LX port (a COM port or none) there is nothing to clear and nothing is written.
void frmOptions::cmdClrParPort_Click() {
    const uint16_t address = Globals::lxPortAddress;
    if (address == 0)
        return;
    for (uint8_t bit = 0; bit <= 7; ++bit)
        main_.portIO().ClrPortBit(address, bit);
}
