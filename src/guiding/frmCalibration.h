#pragma once

#include "guiding/calibrator.h"

#include <QWidget>
#include <optional>

class QLabel;
class QPushButton;

// The star's path during a calibration, as the frame shows it (y downwards): RA and Dec places
// in the guide graph's colours of those axes, and the calibrated axes drawn through the first
// place.
class CalibrationPlot : public QWidget {
    Q_OBJECT
public:
    explicit CalibrationPlot(QWidget* parent = nullptr);
    void setPath(std::vector<QPointF> ra, std::vector<QPointF> dec);
    // The axes to draw; nullopt draws none.
    void setAxes(const std::optional<Calibration>& c);
    // Where a star place (frame pixels) is drawn, widget pixels; needs a place to draw.
    QPointF placeOf(QPointF star) const;
    // Night: the graph's night colours.
    void setNight(bool night);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double span() const; // frame pixels across the plot
    std::vector<QPointF> ra_, dec_;
    std::optional<Calibration> axes_;
    bool night_ = false;
};

// A small read-only window with the calibration: its progress while one runs (with Stop),
// then the result and the star's path.
class frmCalibration : public QWidget {
    Q_OBJECT
public:
    frmCalibration(Calibrator& calibrator, QWidget* parent);
    // The stored calibration, or none.
    void showResult(const std::optional<Calibration>& c);
    // The Dec backlash last measured (by a calibration or the guiding assistant), ms.
    void showBacklash(std::optional<double> ms);
    // How the calibration is adjusted to where the mount points now; empty: used as made.
    void showAdjustment(const QString& text);

    QLabel* lblProgress = nullptr;
    QLabel* lblResult = nullptr;
    QLabel* lblBacklash = nullptr;
    QLabel* lblAdjusted = nullptr;
    CalibrationPlot* picPath = nullptr;
    QPushButton* cmdStop = nullptr;

signals:
    void stopClicked();

private:
    void started();
    void stepped(const CalibrationProgress& progress);
    void ended(const QString& text);

    Calibrator& calibrator_;
};
