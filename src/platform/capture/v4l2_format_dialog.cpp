#include "platform/capture/v4l2_format_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

V4l2FormatDialog::V4l2FormatDialog(V4l2Device& device, QWidget* parent)
    : QDialog(parent), device_(device), choices_(formatChoices(device.formats())) {
    setWindowTitle(QStringLiteral("Video Format"));
    sizes_ = new QComboBox;
    sizes_->setObjectName(QStringLiteral("sizes"));
    rates_ = new QComboBox;
    rates_->setObjectName(QStringLiteral("rates"));
    status_ = new QLabel;
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &V4l2FormatDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Frame &size:"), sizes_);
    form->addRow(QStringLiteral("Frame &rate:"), rates_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(status_);
    layout->addWidget(buttons);
    fillSizes(device_.size());
    fillRates(device_.interval());
    connect(sizes_, &QComboBox::currentIndexChanged, this,
            [this] { fillRates(device_.interval()); });
    if (choices_.empty())
        status_->setText(device_.isOpen() ? QStringLiteral("This camera offers no sizes to choose.")
                                          : device_.errorString());
    ok_->setEnabled(!choices_.empty());
}

void V4l2FormatDialog::fillSizes(QSize current) {
    for (const V4l2SizeRates& choice : choices_) {
        sizes_->addItem(
            QStringLiteral("%1 x %2").arg(choice.size.width()).arg(choice.size.height()));
        if (choice.size == current)
            sizes_->setCurrentIndex(sizes_->count() - 1);
    }
}

// The rates of the chosen size; `current` stays selected when the size offers it.
void V4l2FormatDialog::fillRates(V4l2Interval current) {
    rates_->clear();
    const int size = sizes_->currentIndex();
    if (size < 0)
        return;
    const std::vector<V4l2Interval>& intervals = choices_[size_t(size)].intervals;
    for (size_t i = 0; i < intervals.size(); ++i) {
        rates_->addItem(intervals[i].text(), int(i));
        if (intervals[i].sameRate(current))
            rates_->setCurrentIndex(rates_->count() - 1);
    }
    if (rates_->count() == 0)
        rates_->addItem(QStringLiteral("Camera default"));
}

void V4l2FormatDialog::accept() {
    const int size = sizes_->currentIndex();
    if (size < 0)
        return;
    const V4l2SizeRates& choice = choices_[size_t(size)];
    const QVariant rate = rates_->currentData();
    const V4l2Interval interval = rate.isValid() ? choice.intervals[rate.toUInt()] : V4l2Interval();
    if (device_.applyFormat(choice.size, interval)) {
        QDialog::accept();
        return;
    }
    status_->setText(device_.errorString());
    if (!device_.isOpen())
        QDialog::reject();
}
