#include "graph/guide_graph.h"

#include "graph/axis_colours.h"
#include "graph/graph_scale.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QStackedWidget>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
const QColor kLimitColour(110, 110, 110);
constexpr int kCirclePoints = 73;

QValueAxis* valueAxis(QChart* chart, Qt::Alignment where, const QString& title,
                      const QString& format) {
    auto* axis = new QValueAxis(chart);
    axis->setTitleText(title);
    axis->setLabelFormat(format);
    chart->addAxis(axis, where);
    return axis;
}

QChart* plainChart() {
    auto* chart = new QChart;
    chart->legend()->hide();
    chart->setMargins(QMargins(2, 2, 2, 2));
    chart->setBackgroundRoundness(0);
    chart->setAnimationOptions(QChart::NoAnimation);
    return chart;
}

QList<QPointF> circle(double radius) {
    QList<QPointF> points;
    for (int i = 0; i < kCirclePoints; ++i) {
        const double a = 2 * std::numbers::pi * i / (kCirclePoints - 1);
        points << QPointF(radius * std::cos(a), radius * std::sin(a));
    }
    return points;
}

// Pulse axis: symmetric, in steps of 100 ms, at least +-100 ms.
double pulseRange(double longest) {
    return std::max(100.0, std::ceil(longest / 100.0) * 100.0);
}
} // namespace

GuideGraph::GuideGraph(const GuideHistory& history, std::function<GraphLimits()> limits,
                       QWidget* parent)
    : QWidget(parent), history_(history), limits_(std::move(limits)) {
    auto* v = new QVBoxLayout(this);
    v->setContentsMargins(0, 0, 0, 0);
    v->addLayout(buildOptions());
    pages_ = new QStackedWidget(this);
    auto* waiting = new QLabel("The graph starts when a star is locked.", pages_);
    waiting->setAlignment(Qt::AlignCenter);
    pages_->addWidget(waiting);
    pages_->setMinimumSize(480, 260);
    v->addWidget(pages_, 1);
    for (QComboBox* box : {cboCycles, cboScale})
        connect(box, &QComboBox::currentIndexChanged, this, &GuideGraph::refresh);
    for (QCheckBox* box : {chkPixels, chkDrift, chkMountAxes})
        connect(box, &QCheckBox::toggled, this, &GuideGraph::refresh);
    connect(cmdClear, &QPushButton::clicked, this, &GuideGraph::clearClicked);
}

// The row of view options above the chart.
QHBoxLayout* GuideGraph::buildOptions() {
    auto* options = new QHBoxLayout;
    cboCycles = new QComboBox(this);
    for (int n : {100, 200, 300, 400})
        cboCycles->addItem(QString::number(n), n);
    cboCycles->setCurrentIndex(1);
    cboCycles->setToolTip("How many of the last guide cycles the graph shows");
    cboScale = new QComboBox(this);
    for (int s : {1, 2, 4, 8, 16})
        cboScale->addItem(QStringLiteral("\u00b1%1").arg(s), s);
    cboScale->setCurrentIndex(2);
    cboScale->setToolTip("Height of the error axis");
    chkPixels = new QCheckBox("px", this);
    chkPixels->setToolTip("Errors in frame pixels instead of arcseconds");
    chkDrift = new QCheckBox("Drift", this);
    chkDrift->setToolTip("Dec error against RA error, with circles at 1 and 2 arcsec");
    chkMountAxes = new QCheckBox("Mount axes", this);
    chkMountAxes->setToolTip("RA and Dec errors along the mount's axes as the calibration "
                             "measured them (arcsec), instead of along the frame's x and y");
    cmdClear = new QPushButton("Clear", this);
    cmdClear->setToolTip("Empty the graph and the statistics");
    options->addWidget(new QLabel("Cycles", this));
    options->addWidget(cboCycles);
    options->addWidget(new QLabel("Scale", this));
    options->addWidget(cboScale);
    options->addWidget(chkPixels);
    options->addWidget(chkDrift);
    options->addWidget(chkMountAxes);
    options->addStretch(1);
    legend_ = new QLabel(this);
    legend_->setToolTip("Colours of the RA and Dec errors and pulses");
    showLegend();
    options->addWidget(legend_);
    options->addWidget(cmdClear);
    return options;
}

size_t GuideGraph::cycles() const {
    return static_cast<size_t>(cboCycles->currentData().toInt());
}
double GuideGraph::scale() const {
    return cboScale->currentData().toDouble();
}
bool GuideGraph::pixels() const {
    return chkPixels->isChecked();
}
bool GuideGraph::drift() const {
    return chkDrift->isChecked();
}
// Pixels are frame pixels: they win over the mount axes.
GraphErrors GuideGraph::errors() const {
    if (pixels())
        return GraphErrors::framePixels;
    return chkMountAxes->isChecked() ? GraphErrors::mountArcsec : GraphErrors::frameArcsec;
}

void GuideGraph::refresh() {
    if (!strip_ && history_.empty())
        return;
    if (drift()) {
        if (!driftChart_)
            buildDriftChart();
        refreshDrift();
        pages_->setCurrentWidget(driftView_);
    } else {
        if (!strip_)
            buildStripChart();
        refreshStrip();
        pages_->setCurrentWidget(stripView_);
    }
}

QLineSeries* GuideGraph::addLine(QChart* chart, const QColor& colour, qreal width,
                                 Qt::PenStyle style, QValueAxis* x, QValueAxis* y) {
    auto* line = new QLineSeries(chart);
    chart->addSeries(line);
    line->attachAxis(x);
    line->attachAxis(y);
    QPen pen(colour, width, style);
    line->setPen(pen);
    return line;
}

// Filled bars between an outline (see StripSeries) and 0, without a border, so the outline's
// stretches along 0 do not show.
QLineSeries* GuideGraph::addBars(QAreaSeries*& area) {
    auto* outline = new QLineSeries(strip_);
    auto* zero = new QLineSeries(strip_);
    zero->append({QPointF(-1e9, 0), QPointF(1e9, 0)});
    auto* bars = new QAreaSeries(outline, zero);
    strip_->addSeries(bars);
    bars->attachAxis(time_);
    bars->attachAxis(pulseAxis_);
    area = bars;
    return outline;
}

QScatterSeries* GuideGraph::addMarks() {
    auto* marks = new QScatterSeries(strip_);
    strip_->addSeries(marks);
    marks->attachAxis(time_);
    marks->attachAxis(error_);
    return marks;
}

void GuideGraph::buildStripChart() {
    strip_ = plainChart();
    time_ = valueAxis(strip_, Qt::AlignBottom, "s", "%.0f");
    time_->setTickType(QValueAxis::TicksDynamic);
    time_->setTickAnchor(0);
    error_ = valueAxis(strip_, Qt::AlignLeft, "arcsec", "%.1f");
    pulseAxis_ = valueAxis(strip_, Qt::AlignRight, "ms", "%.0f");
    error_->setTickCount(5);
    pulseAxis_->setTickCount(5);
    pulseAxis_->setGridLineVisible(false);
    raPulses_ = addBars(raBars_);
    decPulses_ = addBars(decBars_);
    minUpper_ = addLine(strip_, kLimitColour, 1, Qt::DashLine, time_, error_);
    minLower_ = addLine(strip_, kLimitColour, 1, Qt::DashLine, time_, error_);
    lost_ = new QScatterSeries(strip_);
    lost_->setMarkerSize(7);
    strip_->addSeries(lost_);
    lost_->attachAxis(time_);
    lost_->attachAxis(error_);
    for (QScatterSeries*& marks : marks_)
        marks = addMarks();
    stripView_ = new QChartView(strip_, pages_);
    pages_->addWidget(stripView_);
    applyTheme();
}

void GuideGraph::fillRuns(std::vector<QLineSeries*>& pool, const std::vector<QList<QPointF>>& runs,
                          bool ra) {
    while (pool.size() < runs.size()) {
        pool.push_back(addLine(strip_, Qt::black, 1, Qt::SolidLine, time_, error_));
        pool.back()->setPen(linePen(ra));
    }
    for (size_t i = 0; i < pool.size(); ++i)
        pool[i]->replace(i < runs.size() ? runs[i] : QList<QPointF>());
}

double GuideGraph::minCorrection() const {
    const GraphLimits limits = limits_();
    if (!pixels())
        return limits.minCorrectionArcsec;
    const double perPixel = std::max(limits.arcsecPerPixelX, limits.arcsecPerPixelY);
    return perPixel > 0 ? limits.minCorrectionArcsec / perPixel : 0;
}

void GuideGraph::refreshStrip() {
    const StripSeries s = stripSeries(history_, cycles(), errors());
    fillRuns(raLines_, s.ra, true);
    fillRuns(decLines_, s.dec, false);
    const ScaleMarks ra = outOfScaleMarks(s.ra, scale());
    const ScaleMarks dec = outOfScaleMarks(s.dec, scale());
    marks_[0]->replace(ra.above);
    marks_[1]->replace(ra.below);
    marks_[2]->replace(dec.above);
    marks_[3]->replace(dec.below);
    raPulses_->replace(s.raPulses);
    decPulses_->replace(s.decPulses);
    lost_->replace(s.lost);
    const TimeTicks ticks = timeTicks(s.span);
    const double span = ticks.span;
    const double right = std::max(span / 50, s.barReach); // room for the newest Dec bar
    const double m = minCorrection();
    minUpper_->replace({QPointF(-span, m), QPointF(right, m)});
    minLower_->replace({QPointF(-span, -m), QPointF(right, -m)});
    time_->setRange(-span, right);
    time_->setTickInterval(ticks.interval);
    error_->setRange(-scale(), scale());
    error_->setTitleText(pixels() ? "px" : "arcsec");
    const double p = pulseRange(s.maxPulseMs);
    pulseAxis_->setRange(-p, p);
}

void GuideGraph::buildDriftChart() {
    driftChart_ = plainChart();
    driftX_ = valueAxis(driftChart_, Qt::AlignBottom, "RA arcsec", "%.1f");
    driftY_ = valueAxis(driftChart_, Qt::AlignLeft, "Dec arcsec", "%.1f");
    for (QValueAxis* axis : {driftX_, driftY_})
        axis->setTickCount(5);
    ring1_ = addLine(driftChart_, kLimitColour, 1, Qt::DashLine, driftX_, driftY_);
    ring2_ = addLine(driftChart_, kLimitColour, 1, Qt::DashLine, driftX_, driftY_);
    driftPoints_ = new QScatterSeries(driftChart_);
    driftPoints_->setMarkerSize(5);
    driftPoints_->setColor(raColour());
    driftPoints_->setBorderColor(raColour());
    driftChart_->addSeries(driftPoints_);
    driftPoints_->attachAxis(driftX_);
    driftPoints_->attachAxis(driftY_);
    driftView_ = new QChartView(driftChart_, pages_);
    connect(driftChart_, &QChart::plotAreaChanged, this, &GuideGraph::fitDriftRanges);
    pages_->addWidget(driftView_);
    applyTheme();
}

void GuideGraph::refreshDrift() {
    driftPoints_->replace(driftPoints(history_, cycles(), errors()));
    const GraphLimits limits = limits_();
    const double perPixel = std::max(limits.arcsecPerPixelX, limits.arcsecPerPixelY);
    const double arcsec = !pixels() ? 1.0 : perPixel > 0 ? 1.0 / perPixel : 0.0;
    ring1_->replace(circle(arcsec));
    ring2_->replace(circle(2 * arcsec));
    fitDriftRanges(driftChart_->plotArea());
    const QString unit = pixels() ? " px" : " arcsec";
    driftX_->setTitleText("RA" + unit);
    driftY_->setTitleText("Dec" + unit);
}

// Equal units on both axes, so the circles stay round: the view is wider than high, so RA
// gets the wider range. The plot area is known only once the chart is laid out.
void GuideGraph::fitDriftRanges(const QRectF& area) {
    const double aspect = area.height() > 0 ? area.width() / area.height() : 1.0;
    driftX_->setRange(-scale() * aspect, scale() * aspect);
    driftY_->setRange(-scale(), scale());
}
