#include "app/dither_window.h"

#include "engine/settle.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DitherWindow::DitherWindow(Dither dither, QWidget* parent)
    : QDialog(parent), dither_(std::move(dither)) {
    setWindowTitle(QStringLiteral("Dither"));
    spnAmount = new QDoubleSpinBox(this);
    spnAmount->setRange(0.1, kMaxAmount);
    spnAmount->setDecimals(1);
    spnAmount->setSingleStep(0.5);
    spnAmount->setValue(kDefaultAmount);
    spnAmount->setSuffix(QStringLiteral(" px"));
    spnAmount->setToolTip(QStringLiteral("Largest move of the guide star's target, frame pixels"));
    chkRaOnly = new QCheckBox(QStringLiteral("RA only"), this);
    chkRaOnly->setToolTip(QStringLiteral("Move along the RA axis only"));
    cmdDither = new QPushButton(QStringLiteral("Dither"), this);
    cmdDither->setToolTip(QStringLiteral("Move the target now, then wait until the star settles "
                                         "within 1.5 px for 10 s (at most 60 s)"));
    lblResult = new QLabel(this);
    lblResult->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Amount"), spnAmount);
    form->addRow(QString(), chkRaOnly);
    auto* v = new QVBoxLayout(this);
    v->addLayout(form);
    v->addWidget(cmdDither);
    v->addWidget(lblResult);
    connect(cmdDither, &QPushButton::clicked, this, &DitherWindow::ditherClicked);
}

void DitherWindow::ditherClicked() {
    const QString refused = dither_(spnAmount->value(), chkRaOnly->isChecked());
    waiting_ = refused.isEmpty();
    lblResult->setText(waiting_ ? QStringLiteral("Dithered; settling...")
                                : QStringLiteral("No dither: %1").arg(refused));
}

// Only the settle of this window's own dither is told.
void DitherWindow::settled(const SettleResult& result) {
    if (!waiting_)
        return;
    waiting_ = false;
    lblResult->setText(result.success ? QStringLiteral("Settled")
                                      : QStringLiteral("Not settled: %1").arg(result.error));
}
