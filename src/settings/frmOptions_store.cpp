#include "settings/frmOptions.h"

#include "app/frmMain.h"
#include "platform/store/settings_store.h"
#include "settings/options_rules.h"
#include "settings/setting_keys.h"
#include "settings/settings_reader.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

// Loading and saving. The dialog shows its own defaults for absent keys: the start-up ones,
// except 15 and 15 for the guide rates and 15.0 for the maximum error. The order of the reads
// matters: each value set runs its control's reaction, and those of the port list and
// "VX Modified" depend on what was loaded before them.

namespace {
QString checkText(const QCheckBox* box) {
    return box->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}
} // namespace

void frmOptions::loadOptions() {
    loadCameraOptions();
    loadGuidingOptions();
    loadBitGroups();
    SettingsReader in(store_);
    chkAppendLog->setChecked(in.flag(keys::AppendLog));
    txtLogFilename->setText(in.text(keys::LogFilename, defaultLogFilename()));
}

// A stored port outside the list keeps the current selection.
void frmOptions::loadCameraOptions() {
    SettingsReader in(store_);
    txtHrzPixelSize->setText(in.text(keys::HorizontalPixelSize));
    txtVrtPixelSize->setText(in.text(keys::VerticalPixelSize));
    chkVXModified->setChecked(in.flag(keys::VXModified));
    chkAmpOff->setChecked(in.flag(keys::HasAmpOff));
    chkAdvancedMod->setChecked(in.flag(keys::HasAdvancedMod));
    txtPostLXTime->setText(in.text(keys::PostLXTime));
    if (const auto index = shownPortIndex(in.text(keys::Port)))
        LXPortList->setCurrentRow(*index);
    chkSerialActive->setChecked(in.flag(keys::LXSerialActive));
    if (!chkVXModified->isChecked())
        return;
    lblPostLXTime->setEnabled(true);
    txtPostLXTime->setEnabled(true);
    LXPortList->setEnabled(true);
    if (LXPortList->currentRow() > 2) {
        DTRcontrol->setEnabled(true);
        RTScontrol->setEnabled(true);
        loadSerialPin();
    }
}

// A pin other than exactly "RTS" or "DTR" leaves the selection as it is.
void frmOptions::loadSerialPin() {
    SettingsReader in(store_);
    if (in.text(keys::LXSerialPin) == QLatin1String("RTS"))
        RTScontrol->setChecked(true);
    if (in.text(keys::LXSerialPin) == QLatin1String("DTR"))
        DTRcontrol->setChecked(true);
}

void frmOptions::loadGuidingOptions() {
    SettingsReader in(store_);
    txtGuideFocalLength->setText(in.text(keys::FocalLength));
    txtRadius->setText(in.text(keys::Radius));
    txtRAGuideRate->setText(in.text(keys::RAGuideRate, QStringLiteral("15")));
    txtDecGuideRate->setText(in.text(keys::DecGuideRate, QStringLiteral("15")));
    txtRABacklash->setText(in.text(keys::RABacklash));
    txtDecBacklash->setText(in.text(keys::DecBacklash));
    txtMinError->setText(in.text(keys::MinimumCorrection));
    txtMaxError->setText(in.text(keys::MaximumCorrection, QStringLiteral("15.0")));
    chkDecCorrect->setChecked(in.flag(keys::DecCorrect));
    chkAutostarPulseGuide->setChecked(in.flag(keys::AutostarPulseGuide));
}

// Every group, enabled or not. A stored bit outside 0..7 keeps the group's current selection.
void frmOptions::loadBitGroups() {
    SettingsReader in(store_);
    for (BitGroup& group : bitGroups_)
        if (const auto bit = shownBit(in.text(group.key)))
            group.buttons[static_cast<size_t>(*bit)]->setChecked(true);
}

// Writes every control as it stands, then has the main window reload its configuration. A
// failed write does not stop the others; the operator is told once the reload is done.
void frmOptions::saveOptions() {
    writeFailed_ = false;
    saveCameraOptions();
    saveGuidingOptions();
    saveBitGroups();
    write(keys::AppendLog, checkText(chkAppendLog));
    write(keys::LogFilename, txtLogFilename->text());
    cmdOptionsApply->setEnabled(false);
    main_.setDefaults();
    if (writeFailed_)
        main_.note(QStringLiteral("The options could not all be saved to the settings store"));
    main_.settingsSaved(!writeFailed_);
}

void frmOptions::saveCameraOptions() {
    write(keys::HorizontalPixelSize, txtHrzPixelSize->text());
    write(keys::VerticalPixelSize, txtVrtPixelSize->text());
    write(keys::VXModified, checkText(chkVXModified));
    write(keys::PostLXTime, txtPostLXTime->text());
    write(keys::Port, QString::number(LXPortList->currentRow()));
    if (RTScontrol->isChecked())
        write(keys::LXSerialPin, QStringLiteral("RTS"));
    if (DTRcontrol->isChecked())
        write(keys::LXSerialPin, QStringLiteral("DTR"));
    write(keys::LXSerialActive, checkText(chkSerialActive));
    write(keys::HasAmpOff, checkText(chkAmpOff));
    write(keys::HasAdvancedMod, checkText(chkAdvancedMod));
}

void frmOptions::saveGuidingOptions() {
    write(keys::Radius, txtRadius->text());
    write(keys::FocalLength, txtGuideFocalLength->text());
    write(keys::RAGuideRate, txtRAGuideRate->text());
    write(keys::DecGuideRate, txtDecGuideRate->text());
    write(keys::RABacklash, txtRABacklash->text());
    write(keys::DecBacklash, txtDecBacklash->text());
    write(keys::MinimumCorrection, txtMinError->text());
    write(keys::MaximumCorrection, txtMaxError->text());
    write(keys::DecCorrect, checkText(chkDecCorrect));
    write(keys::AutostarPulseGuide, checkText(chkAutostarPulseGuide));
}

// Bit by bit, and for each bit the groups in their saving order. A group with no selected
// button writes nothing, so its stored value stays.
void frmOptions::saveBitGroups() {
    for (size_t bit = 0; bit < 8; ++bit)
        for (const BitGroup& group : bitGroups_)
            if (group.buttons[bit]->isChecked())
                write(group.key, QString::number(bit));
}

void frmOptions::write(const SettingKey& key, const QString& text) {
    if (!store_.writeSetting(QLatin1String(key.section), QLatin1String(key.key), text))
        writeFailed_ = true;
}
