#include "platform/telescope/indi_setup_dialog.h"

#include "platform/telescope/indi_property_panel.h"
#include "platform/telescope/telescope.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {
constexpr int refreshMs = 200;

std::vector<IndiVector> inDriverOrder(std::vector<IndiVector> properties) {
    std::stable_sort(
        properties.begin(), properties.end(),
        [](const IndiVector& a, const IndiVector& b) { return a.defined < b.defined; });
    return properties;
}

QStringList layoutOf(const std::vector<IndiVector>& properties) {
    QStringList layout;
    for (const IndiVector& p : properties)
        layout.append(p.group + '/' + p.name);
    return layout;
}

QVBoxLayout* addGroupTab(QTabWidget* tabs, const QString& group) {
    auto* page = new QWidget;
    auto* column = new QVBoxLayout(page);
    column->addStretch();
    auto* scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    tabs->addTab(scroll, group.isEmpty() ? QObject::tr("General") : group);
    return column;
}
} // namespace

IndiSetupDialog::IndiSetupDialog(IndiDeviceAccess& device, QWidget* parent)
    : QDialog(parent), device_(device), tabs_(new QTabWidget(this)), status_(new QLabel(this)),
      timer_(new QTimer(this)) {
    setWindowTitle(tr("INDI settings: %1").arg(device.deviceName()));
    status_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_, 1);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    resize(640, 480);
    connect(timer_, &QTimer::timeout, this, &IndiSetupDialog::refresh);
    timer_->start(refreshMs);
    refresh();
}

QString IndiSetupDialog::statusText() const {
    return status_->text();
}

void IndiSetupDialog::refresh() {
    const quint64 revision = device_.revision();
    if (revision == revision_ && !panels_.empty())
        return;
    revision_ = revision;
    const std::vector<IndiVector> properties = inDriverOrder(device_.properties());
    if (layoutOf(properties) != layout_)
        rebuild(properties);
    else
        for (const IndiVector& p : properties)
            panels_.at(p.name)->showValues(p);
    if (!sendFailed_)
        status_->setText(device_.lastMessage());
}

void IndiSetupDialog::rebuild(const std::vector<IndiVector>& properties) {
    const QString shownGroup = tabs_->count() ? tabs_->tabText(tabs_->currentIndex()) : QString();
    while (tabs_->count()) {
        QWidget* page = tabs_->widget(0);
        tabs_->removeTab(0);
        delete page;
    }
    panels_.clear();
    std::map<QString, QVBoxLayout*> columns;
    for (const IndiVector& p : properties) {
        QVBoxLayout*& column = columns[p.group];
        if (!column)
            column = addGroupTab(tabs_, p.group);
        auto* panel = new IndiPropertyPanel(p);
        column->insertWidget(column->count() - 1, panel);
        connect(panel, &IndiPropertyPanel::sendRequested, this, &IndiSetupDialog::send);
        panels_[p.name] = panel;
    }
    layout_ = layoutOf(properties);
    for (int i = 0; i < tabs_->count(); ++i)
        if (tabs_->tabText(i) == shownGroup)
            tabs_->setCurrentIndex(i);
}

void IndiSetupDialog::send(const IndiVector& changed) {
    try {
        device_.send(changed);
        sendFailed_ = false;
    } catch (const TelescopeError& e) {
        sendFailed_ = true;
        status_->setText(QString::fromStdString(e.what()));
    }
}

void runIndiSetupDialog(IndiDeviceAccess& device) {
    IndiSetupDialog dialog(device, QApplication::activeWindow());
    dialog.exec();
}
