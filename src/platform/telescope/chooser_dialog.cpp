#include "platform/telescope/chooser_dialog.h"

#include "platform/telescope/alpaca_discovery.h"
#include "platform/telescope/indi_mount_list.h"
#include "platform/telescope/mount_choices.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {
constexpr int kSearchMs = 3000;

// Shows a busy cursor while a blocking search runs.
struct BusyCursor {
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
};

QSpinBox* portBox(int value, QWidget* parent) {
    auto* box = new QSpinBox(parent);
    box->setRange(1, 65535);
    box->setValue(value);
    return box;
}
} // namespace

ChooserDialog::ChooserDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Choose Telescope"));
    auto* layout = new QVBoxLayout(this);
    lstDrivers = new QListWidget(this);
    layout->addWidget(lstDrivers);
    layout->addWidget(buildIndiRow());
    layout->addWidget(buildAlpacaRow());
    lblStatus = new QLabel(this);
    lblStatus->setWordWrap(true);
    layout->addWidget(lblStatus);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(lstDrivers, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    layout->addWidget(buttons);
    addChoice(simMountChoice());
    lstDrivers->setCurrentRow(0);
    resize(520, 420);
}

QWidget* ChooserDialog::buildIndiRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(QStringLiteral("INDI server"), row));
    txtIndiHost = new QLineEdit(QStringLiteral("localhost"), row);
    spnIndiPort = portBox(7624, row);
    cmdIndiList = new QPushButton(QStringLiteral("List mounts"), row);
    h->addWidget(txtIndiHost);
    h->addWidget(spnIndiPort);
    h->addWidget(cmdIndiList);
    connect(cmdIndiList, &QPushButton::clicked, this, &ChooserDialog::listIndi);
    return row;
}

QWidget* ChooserDialog::buildAlpacaRow() {
    auto* row = new QWidget(this);
    auto* h = new QHBoxLayout(row);
    h->setContentsMargins(0, 0, 0, 0);
    h->addWidget(new QLabel(QStringLiteral("Alpaca"), row));
    cmdAlpacaSearch = new QPushButton(QStringLiteral("Search network"), row);
    txtAlpacaHost = new QLineEdit(row);
    txtAlpacaHost->setPlaceholderText(QStringLiteral("host"));
    spnAlpacaPort = portBox(11111, row);
    cmdAlpacaList = new QPushButton(QStringLiteral("List"), row);
    for (QWidget* w : {static_cast<QWidget*>(cmdAlpacaSearch), static_cast<QWidget*>(txtAlpacaHost),
                       static_cast<QWidget*>(spnAlpacaPort), static_cast<QWidget*>(cmdAlpacaList)})
        h->addWidget(w);
    connect(cmdAlpacaSearch, &QPushButton::clicked, this, &ChooserDialog::searchAlpaca);
    connect(cmdAlpacaList, &QPushButton::clicked, this, &ChooserDialog::listAlpaca);
    return row;
}

void ChooserDialog::addChoice(const QString& caption, const QString& identifier) {
    for (int i = 0; i < lstDrivers->count(); ++i)
        if (lstDrivers->item(i)->data(Qt::UserRole).toString() == identifier)
            return;
    auto* item = new QListWidgetItem(caption, lstDrivers);
    item->setData(Qt::UserRole, identifier);
    item->setToolTip(identifier);
}

void ChooserDialog::addChoice(const MountChoice& choice) {
    addChoice(choice.caption, choice.identifier);
}

QString ChooserDialog::selectedIdentifier() const {
    const QListWidgetItem* item = lstDrivers->currentItem();
    return item ? item->data(Qt::UserRole).toString() : QString();
}

QString ChooserDialog::Choose() {
    lblStatus->clear();
    return exec() == QDialog::Accepted ? selectedIdentifier() : QString();
}

void ChooserDialog::listIndi() {
    BusyCursor busy;
    const QString host = txtIndiHost->text().trimmed();
    const int port = spnIndiPort->value();
    QString error;
    const std::vector<QString> devices = listIndiMountDevices(host, port, kSearchMs, &error);
    for (const QString& device : devices)
        addChoice(indiMountChoice({host, port, device}));
    lblStatus->setText(
        error.isEmpty() ? QStringLiteral("%1 INDI mount(s) found").arg(devices.size()) : error);
}

void ChooserDialog::searchAlpaca() {
    showAlpaca([] { return discoverAlpacaTelescopes(kSearchMs / 2); });
}

void ChooserDialog::listAlpaca() {
    const QString host = txtAlpacaHost->text().trimmed();
    const int port = spnAlpacaPort->value();
    showAlpaca([&] { return listAlpacaTelescopes(host, port, kSearchMs); });
}

void ChooserDialog::showAlpaca(const std::function<std::vector<AlpacaDevice>()>& find) {
    BusyCursor busy;
    try {
        const std::vector<AlpacaDevice> found = find();
        for (const AlpacaDevice& d : found)
            addChoice(alpacaMountChoice(d));
        lblStatus->setText(QStringLiteral("%1 Alpaca telescope(s) found").arg(found.size()));
    } catch (const std::exception& error) {
        lblStatus->setText(QString::fromUtf8(error.what()));
    }
}
