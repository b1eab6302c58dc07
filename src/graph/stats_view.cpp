#include "graph/stats_view.h"

#include <QGridLayout>
#include <QLabel>

namespace {
const char* const kNames[] = {"RMS RA", "RMS Dec", "RMS total", "Peak RA", "Peak Dec"};
const char* const kUnits[] = {"arcsec", "px"};
} // namespace

StatsView::StatsView(QWidget* parent) : QWidget(parent) {
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(10);
    grid->addWidget(new QLabel(kUnits[0], this), 0, 1, Qt::AlignRight);
    grid->addWidget(new QLabel(kUnits[1], this), 0, 2, Qt::AlignRight);
    for (int row = 0; row < kRows; ++row) {
        grid->addWidget(new QLabel(kNames[row], this), row + 1, 0);
        for (int column = 0; column < 2; ++column) {
            values_[row][column] = new QLabel(this);
            values_[row][column]->setAlignment(Qt::AlignRight);
            grid->addWidget(values_[row][column], row + 1, column + 1);
        }
    }
    lblFrames = new QLabel(this);
    grid->addWidget(lblFrames, kRows + 1, 0, 1, 3);
    grid->setRowStretch(kRows + 2, 1);
    setToolTip("Over the cycles the graph shows; RMS is taken about the target");
    showStats(GuideStats{});
}

void StatsView::showStats(const GuideStats& s) {
    const double values[kRows][2] = {{s.raArcsec.rms, s.raPx.rms},
                                     {s.decArcsec.rms, s.decPx.rms},
                                     {s.totalArcsec, s.totalPx},
                                     {s.raArcsec.peak, s.raPx.peak},
                                     {s.decArcsec.peak, s.decPx.peak}};
    // A screen reader reads each value on its own, so its name carries the row and unit too.
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < 2; ++column) {
            const QString text = QString::number(values[row][column], 'f', 2);
            values_[row][column]->setText(text);
            values_[row][column]->setAccessibleName(
                QStringLiteral("%1: %2 %3").arg(kNames[row], text, kUnits[column]));
        }
    lblFrames->setText(QStringLiteral("Frames %1, lost %2").arg(s.frames).arg(s.lost));
}
