#include "app/profile_bar.h"

#include "engine/guide_engine.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

ProfileBar::ProfileBar(GuideEngine& engine, QWidget* parent) : QWidget(parent), engine_(engine) {
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
    cmdRemove = new QPushButton(QStringLiteral("Remove"), this);
    cmdRemove->setToolTip(QStringLiteral("The set in use is removed and the first set comes in; "
                                         "its file is kept as .removed"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(new QLabel(QStringLiteral("Equipment set:"), this));
    layout->addWidget(cboSet, 1);
    layout->addWidget(txtName, 1);
    for (QPushButton* button : {cmdNew, cmdRename, cmdRemove})
        layout->addWidget(button);
    connect(cboSet, &QComboBox::activated, this, [this](int index) {
        const QString why = engine_.switchProfile(cboSet->itemData(index).toInt());
        tell(why, QStringLiteral("Equipment set \"%1\" in use").arg(inUseName()),
             QStringLiteral("The equipment set stays: "));
    });
    connect(cmdNew, &QPushButton::clicked, this, [this] {
        const QString why = engine_.addProfile(txtName->text());
        tell(why, QStringLiteral("Equipment set \"%1\" made and in use").arg(inUseName()),
             QStringLiteral("No new set: "));
    });
    connect(cmdRename, &QPushButton::clicked, this, [this] {
        const QString why = engine_.renameProfile(engine_.currentProfile().id, txtName->text());
        tell(why, QStringLiteral("Renamed \"%1\"").arg(inUseName()),
             QStringLiteral("Not renamed: "));
    });
    connect(cmdRemove, &QPushButton::clicked, this, [this] {
        const QString name = inUseName();
        const QString why = engine_.removeProfile(engine_.currentProfile().id);
        tell(why, QStringLiteral("Equipment set \"%1\" removed").arg(name),
             QStringLiteral("Not removed: "));
    });
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

QString ProfileBar::inUseName() {
    return engine_.currentProfile().name;
}

void ProfileBar::tell(const QString& why, const QString& done, const QString& refused) {
    refresh();
    if (why.isEmpty())
        txtName->clear();
    emit outcome(why.isEmpty() ? done : refused + why);
}
