#include "graph/axis_colours.h"
#include "graph/guide_graph.h"

#include <QAreaSeries>
#include <QChart>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPainterPath>
#include <QScatterSeries>
#include <QValueAxis>

namespace {
constexpr int kMarkSize = 9; // px, the out-of-scale triangles
const QColor kNightText(176, 0, 0);
const QColor kNightGrid(48, 0, 0);
const QColor kNightBackground(0, 0, 0);
const QColor kLostColour(240, 150, 0);
const QColor kNightLostColour(150, 40, 0);
const QColor kLimitColour(110, 110, 110);
const QColor kNightLimitColour(90, 0, 0);

QColor faded(QColor c) {
    c.setAlpha(170);
    return c;
}

// A small filled triangle pointing up (or down) for a value beyond the error axis.
QImage triangle(const QColor& colour, bool up) {
    QImage image(kMarkSize, kMarkSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const double tip = up ? 0 : kMarkSize, base = up ? kMarkSize : 0;
    QPainterPath path;
    path.moveTo(kMarkSize / 2.0, tip);
    path.lineTo(kMarkSize, base);
    path.lineTo(0, base);
    path.closeSubpath();
    painter.fillPath(path, colour);
    return image;
}
} // namespace

QColor GuideGraph::raColour() const {
    return night_ ? kNightRaColour : kRaColour;
}

QColor GuideGraph::decColour() const {
    return night_ ? kNightDecColour : kDecColour;
}

QPen GuideGraph::linePen(bool ra) const {
    return QPen(ra ? raColour() : decColour(), 1, night_ && !ra ? Qt::DashLine : Qt::SolidLine);
}

void GuideGraph::setNight(bool night) {
    if (night == night_)
        return;
    night_ = night;
    showLegend();
    applyTheme();
}

void GuideGraph::showLegend() {
    const QString dash = night_ ? QStringLiteral(" - -") : QString();
    legend_->setText(QStringLiteral("<span style=\"color:%1\">RA</span> "
                                    "<span style=\"color:%2\">Dec%3</span>")
                         .arg(raColour().name(), decColour().name(), dash));
}

// Colours of whatever is built; a chart built later takes them when it is built.
void GuideGraph::applyTheme() {
    if (strip_) {
        themeChart(strip_);
        for (QLineSeries* line : raLines_)
            line->setPen(linePen(true));
        for (QLineSeries* line : decLines_)
            line->setPen(linePen(false));
        // The border keeps a bar at least a pixel wide however many cycles share the width.
        for (auto [bars, colour] : {std::pair{raBars_, raColour()}, {decBars_, decColour()}}) {
            bars->setPen(QPen(faded(colour), 1));
            bars->setBrush(faded(colour));
        }
        const QColor lost = night_ ? kNightLostColour : kLostColour;
        lost_->setColor(lost);
        lost_->setBorderColor(lost);
        for (QLineSeries* limit : {minUpper_, minLower_})
            limit->setPen(QPen(night_ ? kNightLimitColour : kLimitColour, 1, Qt::DashLine));
        marks_[0]->setLightMarker(triangle(raColour(), true));
        marks_[1]->setLightMarker(triangle(raColour(), false));
        marks_[2]->setLightMarker(triangle(decColour(), true));
        marks_[3]->setLightMarker(triangle(decColour(), false));
    }
    if (driftChart_) {
        themeChart(driftChart_);
        driftPoints_->setColor(raColour());
        driftPoints_->setBorderColor(raColour());
        for (QLineSeries* ring : {ring1_, ring2_})
            ring->setPen(QPen(night_ ? kNightLimitColour : kLimitColour, 1, Qt::DashLine));
    }
}

// Night colours; day gives back the chart's own look, as it was before the first night.
void GuideGraph::themeChart(QChart* chart) {
    const QList<QAbstractAxis*> axes = chart->axes();
    if (night_ && !dayLook_ && !axes.isEmpty())
        dayLook_ = ChartLook{chart->backgroundBrush(), axes.first()->labelsBrush(),
                             axes.first()->titleBrush(), axes.first()->linePenColor(),
                             axes.first()->gridLineColor()};
    if (!dayLook_)
        return;
    const ChartLook night{kNightBackground, kNightText, kNightText, kNightGrid, kNightGrid};
    const ChartLook& look = night_ ? night : *dayLook_;
    chart->setBackgroundBrush(look.background);
    for (QAbstractAxis* axis : axes) {
        axis->setLabelsBrush(look.labels);
        axis->setTitleBrush(look.title);
        axis->setLinePenColor(look.line);
        axis->setGridLineColor(look.grid);
    }
}
