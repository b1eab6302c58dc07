#include "app/profile_bar.h"

#include "engine/guide_engine.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ProfileBar::ProfileBar(GuideEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    cboSet = new QComboBox(this);
    cboSet->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    txtName = new QLineEdit(this);
    txtName->setPlaceholderText(QStringLiteral("Name"));
    txtName->setMaxLength(60);
    cmdNew = new QPushButton(QStringLiteral("New Set"), this);
    cmdNew->setToolTip(QStringLiteral("A new equipment set under the name typed, starting with "
                                      "the settings in use"));
    cmdRename = new QPushButton(QStringLiteral("Rename"), this);
    cmdRename->setToolTip(QStringLiteral("The set in use takes the name typed"));
    layout->addWidget(new QLabel(QStringLiteral("Equipment set:"), this));
    layout->addWidget(cboSet, 1);
    layout->addWidget(txtName, 1);
    layout->addWidget(cmdNew);
    layout->addWidget(cmdRename);
    cmdRemove = new QPushButton(QStringLiteral("Remove"), this);
    cmdRemove->setToolTip(QStringLiteral("The set in use is removed and the first set comes in; "
                                         "its file is kept as .removed"));
    layout->addWidget(cmdRemove);
    connect(cboSet, &QComboBox::activated, this, &ProfileBar::choose);
    connect(cmdNew, &QPushButton::clicked, this, &ProfileBar::make);
    connect(cmdRename, &QPushButton::clicked, this, &ProfileBar::rename);
    connect(cmdRemove, &QPushButton::clicked, this, &ProfileBar::remove);
    refresh();
}

void ProfileBar::refresh() {
    const QSignalBlocker quiet(cboSet);
    cboSet->clear();
    const int inUse = engine_.currentProfile().id;
    cmdRemove->setEnabled(inUse != ProfileStore::kFirstId);
    for (const Profile& p : engine_.profiles()) {
        cboSet->addItem(p.name, p.id);
        if (p.id == inUse)
            cboSet->setCurrentIndex(cboSet->count() - 1);
    }
}

void ProfileBar::choose(int index) {
    const QString why = engine_.switchProfile(cboSet->itemData(index).toInt());
    refresh();
    emit outcome(why.isEmpty()
                     ? QStringLiteral("Equipment set \"%1\" in use").arg(cboSet->currentText())
                     : QStringLiteral("The equipment set stays: ") + why);
}

void ProfileBar::make() {
    const QString why = engine_.addProfile(txtName->text());
    refresh();
    if (why.isEmpty())
        txtName->clear();
    emit outcome(
        why.isEmpty()
            ? QStringLiteral("Equipment set \"%1\" made and in use").arg(cboSet->currentText())
            : QStringLiteral("No new set: ") + why);
}

void ProfileBar::rename() {
    const QString why = engine_.renameProfile(engine_.currentProfile().id, txtName->text());
    refresh();
    if (why.isEmpty())
        txtName->clear();
    emit outcome(why.isEmpty() ? QStringLiteral("Renamed \"%1\"").arg(cboSet->currentText())
                               : QStringLiteral("Not renamed: ") + why);
}

void ProfileBar::remove() {
    const QString name = cboSet->currentText();
    const QString why = engine_.removeProfile(engine_.currentProfile().id);
    refresh();
    emit outcome(why.isEmpty() ? QStringLiteral("Equipment set \"%1\" removed").arg(name)
                               : QStringLiteral("Not removed: ") + why);
}
