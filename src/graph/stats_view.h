#pragma once

#include "guiding/guide_stats.h"

#include <QWidget>

class QLabel;

// The guiding statistics as a small table: RMS RA, RMS Dec, RMS total, peak RA and peak Dec
// in arcsec and px, then the number of frames and of lost frames.
class StatsView : public QWidget {
    Q_OBJECT
public:
    explicit StatsView(QWidget* parent = nullptr);
    void showStats(const GuideStats& stats);

    // value(row, 0) arcsec, value(row, 1) px; rows in the order above.
    QLabel* value(int row, int column) const { return values_[row][column]; }
    QLabel* lblFrames = nullptr;

private:
    static constexpr int kRows = 5;
    QLabel* values_[kRows][2] = {};
};
