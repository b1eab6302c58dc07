#pragma once

#include "graph/graph_series.h"

#include <QPen>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

class QAreaSeries;
class QChart;
class QChartView;
class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineSeries;
class QPushButton;
class QScatterSeries;
class QStackedWidget;
class QValueAxis;

// What the graph needs to know of the guiding settings when it draws.
struct GraphLimits {
    double minCorrectionArcsec = 0;
    double arcsecPerPixelX = 0; // image scale; 0 until known
    double arcsecPerPixelY = 0;
};

// The guide graph: RA and Dec error against time with the correction pulses (or, with
// "Drift", Dec error against RA error), drawn from a guide history on every refresh(). The
// charts are built at the first refresh that has something to show, so start-up does not pay
// for them.
class GuideGraph : public QWidget {
    Q_OBJECT
public:
    GuideGraph(const GuideHistory& history, std::function<GraphLimits()> limits,
               QWidget* parent = nullptr);

    void refresh();

    size_t cycles() const; // how many of the last cycles are shown: 100 .. 400
    double scale() const;  // half height of the error axis, arcsec or px
    bool pixels() const;
    bool drift() const;
    GraphErrors errors() const;

    // Night: dark red on black, RA bright and solid, Dec dim and dashed. Day by default.
    void setNight(bool night);
    bool night() const { return night_; }
    QColor raColour() const;
    QColor decColour() const;
    // The out-of-scale marks: RA above, RA below, Dec above, Dec below; null until the strip
    // chart is built.
    QScatterSeries* scaleMarks(int i) const { return marks_[i]; }
    QValueAxis* timeAxis() const { return time_; }

    // The error lines, one per unbroken run of found cycles (empty ones are unused), and the
    // outline of the RA pulse bars; empty until the strip chart is built.
    std::vector<QLineSeries*> raLines() const { return raLines_; }
    std::vector<QLineSeries*> decLines() const { return decLines_; }
    QLineSeries* raPulseLine() const { return raPulses_; }
    QScatterSeries* driftSeries() const { return driftPoints_; }

    QComboBox* cboCycles = nullptr;
    QComboBox* cboScale = nullptr;
    QCheckBox* chkPixels = nullptr;
    QCheckBox* chkDrift = nullptr;
    QCheckBox* chkMountAxes = nullptr;
    QPushButton* cmdClear = nullptr;

signals:
    void clearClicked();

private:
    QHBoxLayout* buildOptions();
    void buildStripChart();
    void buildDriftChart();
    QLineSeries* addBars(QAreaSeries*& area);
    QScatterSeries* addMarks();
    QPen linePen(bool ra) const;
    void showLegend();
    void applyTheme();
    void themeChart(QChart* chart);
    QLineSeries* addLine(QChart* chart, const QColor& colour, qreal width, Qt::PenStyle style,
                         QValueAxis* x, QValueAxis* y);
    void refreshStrip();
    void refreshDrift();
    void fitDriftRanges(const QRectF& plotArea);
    void fillRuns(std::vector<QLineSeries*>& pool, const std::vector<QList<QPointF>>& runs,
                  bool ra);
    double minCorrection() const;

    const GuideHistory& history_;
    std::function<GraphLimits()> limits_;
    QStackedWidget* pages_ = nullptr;
    QChartView* stripView_ = nullptr;
    QChart* strip_ = nullptr;
    QValueAxis *time_ = nullptr, *error_ = nullptr, *pulseAxis_ = nullptr;
    std::vector<QLineSeries*> raLines_, decLines_;
    QLineSeries *raPulses_ = nullptr, *decPulses_ = nullptr;
    QLineSeries *minUpper_ = nullptr, *minLower_ = nullptr;
    QScatterSeries* lost_ = nullptr;
    QScatterSeries* marks_[4] = {};
    QAreaSeries *raBars_ = nullptr, *decBars_ = nullptr;
    QLabel* legend_ = nullptr;
    bool night_ = false;
    struct ChartLook {
        QBrush background;
        QBrush labels;
        QBrush title;
        QColor line, grid;
    };
    std::optional<ChartLook> dayLook_;
    QChartView* driftView_ = nullptr;
    QChart* driftChart_ = nullptr;
    QValueAxis *driftX_ = nullptr, *driftY_ = nullptr;
    QScatterSeries* driftPoints_ = nullptr;
    QLineSeries *ring1_ = nullptr, *ring2_ = nullptr;
};
