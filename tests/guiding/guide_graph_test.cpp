#include "app/simulated_run.h"
#include "app/window_fixture.h"
#include "graph/guide_panel.h"
#include "graph/star_view.h"
#include "graph/stats_view.h"
#include "guiding/frmCalibration.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineSeries>
#include <QPushButton>
#include <QScatterSeries>
#include <QSlider>
#include <QValueAxis>
#include <cmath>

namespace {
// Points over all error lines of the strip chart.
qsizetype pointsOf(const std::vector<QLineSeries*>& lines) {
    qsizetype n = 0;
    for (const QLineSeries* line : lines)
        n += line->count();
    return n;
}

qsizetype runsOf(const std::vector<QLineSeries*>& lines) {
    return std::count_if(lines.begin(), lines.end(),
                         [](const QLineSeries* line) { return line->count() > 0; });
}

// Pixels of the widget's rendering close to `colour`.
int pixelsLike(QWidget* widget, const QColor& colour) {
    const QImage image = widget->grab().toImage();
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
                             std::abs(c.blue() - colour.blue()) <
                         40
                     ? 1
                     : 0;
        }
    return n;
}
} // namespace

// The built-in simulator through the menus: the graph runs from the lock on, unguided first,
// then guided with its pulses; an error beyond the scale is marked at its edge; a lost star
// leaves a gap and counts as lost; the statistics and the star view follow every cycle, and
// Clear empties them.
TEST_F(WindowTest, GraphStatisticsAndStarViewFollowASimulatedRun) {
    SimulatedRun run(fp);
    fp.store.set("Guiding Options", "RA Guide Rate", "15");
    frmMain& w = run.open();
    w.resize(w.sizeHint()); // laid out, so the graph can be drawn
    SkySimulator& sky = run.sky;
    // The graph is redrawn from the event loop, after the cycle.
    const auto cycle = [&] {
        run.cycle();
        QCoreApplication::sendPostedEvents();
    };
    GuidePanel& panel = *w.guidePanel;
    w.cmdPreview->click();
    cycle();
    EXPECT_TRUE(w.guideHistory().empty()); // no lock yet
    run.lockOnGuideStar();
    for (int i = 0; i < 3; ++i)
        cycle();
    ASSERT_EQ(w.guideHistory().size(), 3u);
    EXPECT_FALSE(w.guideHistory().last().guiding);
    EXPECT_EQ(pointsOf(panel.graph->raLines()), 3);
    ASSERT_TRUE(panel.graph->scaleMarks(0));
    EXPECT_EQ(panel.graph->scaleMarks(1)->count(), 0);

    w.cmdGuide->click();
    sky.pulse(guideEast, 600); // 9 arcsec at 15 arcsec per second
    cycle();
    const GuideRecord& kicked = w.guideHistory().last();
    EXPECT_TRUE(kicked.guiding);
    EXPECT_NEAR(kicked.raArcsec, -9, 1.5);
    ASSERT_TRUE(kicked.raPulse.has_value());
    EXPECT_EQ(kicked.raPulse->direction, guideWest);
    EXPECT_EQ(panel.graph->raPulseLine()->count(), 4); // one bar's outline
    EXPECT_EQ(panel.graph->raPulseLine()->at(1).y(), -kicked.raPulse->ms);
    // Beyond the +-4 scale: cut at the chart's edge and marked there, on the side it left.
    ASSERT_EQ(panel.graph->scaleMarks(1)->count(), 1);
    EXPECT_EQ(panel.graph->scaleMarks(0)->count() + panel.graph->scaleMarks(2)->count() +
                  panel.graph->scaleMarks(3)->count(),
              0);
    EXPECT_GT(panel.graph->scaleMarks(1)->at(0).y(), -4);
    EXPECT_LT(panel.graph->scaleMarks(1)->at(0).y(), -3.5);
    panel.graph->cboScale->setCurrentIndex(panel.graph->cboScale->findData(16));
    EXPECT_EQ(panel.graph->scaleMarks(1)->count(), 0);
    panel.graph->cboScale->setCurrentIndex(panel.graph->cboScale->findData(4));

    sky.pulse(guideEast, 6000); // far out of the search window
    cycle();
    EXPECT_FALSE(w.guideHistory().last().found);
    EXPECT_EQ(panel.star->lblPeak->text(), "star lost");
    sky.pulse(guideWest, 6000);
    cycle();
    cycle();
    ASSERT_EQ(w.guideHistory().size(), 7u);
    EXPECT_TRUE(w.guideHistory().last().found);
    EXPECT_EQ(runsOf(panel.graph->raLines()), 2);
    EXPECT_EQ(pointsOf(panel.graph->raLines()), 6);
    EXPECT_EQ(pointsOf(panel.graph->decLines()), 6);
    // The statistics start with guiding: the three unguided cycles do not count.
    EXPECT_EQ(panel.stats->lblFrames->text(), "Frames 4, lost 1");

    const StarMeasures& m = w.guideHistory().last().star;
    EXPECT_TRUE(m.valid);
    EXPECT_GT(m.snr, 10);
    EXPECT_GT(m.hfd, 1.5);
    EXPECT_LT(m.hfd, 8);
    EXPECT_NEAR(m.centreX, w.guideHistory().last().starX, 0.5);
    EXPECT_EQ(panel.star->lblHfd->text(), QStringLiteral("HFD %1 px").arg(m.hfd, 0, 'f', 2));
    EXPECT_FALSE(panel.star->crop().isNull());
    // The RA line drawn in its colour; Drift shows the same points as a scatter.
    EXPECT_GT(pixelsLike(panel.graph, QColor(32, 96, 224)), 20);
    panel.graph->chkDrift->setChecked(true);
    EXPECT_EQ(panel.graph->driftSeries()->count(), 6);
    // The time axis has whole-second ticks counted from 0, the newest exposure.
    QValueAxis* time = panel.graph->timeAxis();
    EXPECT_EQ(time->tickType(), QValueAxis::TicksDynamic);
    EXPECT_EQ(time->tickAnchor(), 0);
    EXPECT_EQ(time->tickInterval(), std::round(time->tickInterval()));
    EXPECT_EQ(std::fmod(-time->min(), time->tickInterval()), 0);

    panel.graph->cmdClear->click();
    EXPECT_TRUE(w.guideHistory().empty());
    EXPECT_EQ(panel.stats->lblFrames->text(), "Frames 0, lost 0");
    EXPECT_EQ(panel.graph->driftSeries()->count(), 0);
    EXPECT_EQ(w.lblLX->text(), "1");
}

// The window with the graph fits a 1366 x 768 screen; the unit labels stand beside the
// specified read-outs, and the aggressiveness shows its percent.
TEST_F(WindowTest, WindowFitsSmallScreensAndShowsUnits) {
    frmMain& w = open();
    EXPECT_LE(w.sizeHint().width(), 1366);
    EXPECT_LE(w.sizeHint().height(), 700);
    EXPECT_EQ(w.lblExposureUnit->text(), "s");
    EXPECT_EQ(w.lblErrorUnit->text(), "arcsec");
    EXPECT_EQ(w.lblAggressivenessValue->text(), "100%");
    w.sldAggressiveness->setValue(135);
    EXPECT_EQ(w.lblAggressivenessValue->text(), "135%");
    EXPECT_EQ(w.lblAggressivness->text(), "Aggressivness");
}

// The view options come back at the next start; a value not offered keeps that option's
// default, and only the operator's changes are written.
TEST_F(WindowTest, GraphViewOptionsAreKeptForTheNextStart) {
    fp.store.set("Graph Options", "Cycles", "250");
    fp.store.set("Graph Options", "Scale", "x");
    GuideGraph* graph = open().guidePanel->graph;
    EXPECT_EQ(graph->cycles(), 200u);
    EXPECT_EQ(graph->scale(), 4);
    EXPECT_FALSE(graph->pixels() || graph->drift() || graph->chkMountAxes->isChecked());
    EXPECT_FALSE(fp.store.writes.join(' ').contains("Graph Options"));

    graph->cboCycles->setCurrentIndex(graph->cboCycles->findText("400"));
    graph->cboScale->setCurrentIndex(graph->cboScale->findData(8));
    graph->chkPixels->click();
    graph->chkMountAxes->click();
    graph->chkDrift->click();
    graph->chkDrift->click();
    EXPECT_EQ(fp.store.get("Graph Options", "Cycles"), "400");
    EXPECT_EQ(fp.store.get("Graph Options", "Drift"), "0");

    graph = open().guidePanel->graph;
    EXPECT_EQ(graph->cycles(), 400u);
    EXPECT_EQ(graph->scale(), 8);
    EXPECT_TRUE(graph->pixels());
    EXPECT_FALSE(graph->drift());
    EXPECT_TRUE(graph->chkMountAxes->isChecked());
}

// A screen reader reads each statistic as one object, so its name tells the row and the unit
// with the number; every cell of the table names its own figure.
TEST(StatsView, EachValueIsNamedWithItsRowAndUnit) {
    StatsView view;
    GuideStats s;
    s.raArcsec = {0.52, 1.25};
    s.raPx = {0.31, 0.75};
    s.decArcsec = {0.4, 2};
    s.decPx = {0.24, 1.2};
    s.totalArcsec = 0.66;
    s.totalPx = 0.39;
    view.showStats(s);
    const struct {
        int row, column;
        const char* name;
    } cells[] = {{0, 0, "RMS RA: 0.52 arcsec"},    {0, 1, "RMS RA: 0.31 px"},
                 {1, 0, "RMS Dec: 0.40 arcsec"},   {1, 1, "RMS Dec: 0.24 px"},
                 {2, 0, "RMS total: 0.66 arcsec"}, {2, 1, "RMS total: 0.39 px"},
                 {3, 0, "Peak RA: 1.25 arcsec"},   {3, 1, "Peak RA: 0.75 px"},
                 {4, 0, "Peak Dec: 2.00 arcsec"},  {4, 1, "Peak Dec: 1.20 px"}};
    for (const auto& cell : cells) {
        QAccessibleInterface* read =
            QAccessible::queryAccessibleInterface(view.value(cell.row, cell.column));
        ASSERT_TRUE(read);
        EXPECT_EQ(read->text(QAccessible::Name), cell.name) << cell.row << "," << cell.column;
    }

    s.raArcsec.rms = 1.5; // the name follows the next figures
    view.showStats(s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(view.value(0, 0))->text(QAccessible::Name),
              "RMS RA: 1.50 arcsec");
}

// RA and Dec have one colour each wherever they are drawn: the calibration plot uses the
// graph's, by day and by night.
TEST(AxisColours, CalibrationPlotUsesTheGraphColours) {
    GuideHistory history;
    GuideGraph graph(history, [] { return GraphLimits{}; });
    CalibrationPlot plot;
    plot.resize(200, 200);
    plot.setPath({QPointF(10, 10), QPointF(20, 10), QPointF(30, 10)},
                 {QPointF(10, 20), QPointF(10, 30)});
    for (bool night : {false, true}) {
        graph.setNight(night);
        plot.setNight(night);
        SCOPED_TRACE(night);
        EXPECT_GT(pixelsLike(&plot, graph.raColour()), 5);
        EXPECT_GT(pixelsLike(&plot, graph.decColour()), 5);
        EXPECT_NE(graph.raColour(), graph.decColour());
    }
    EXPECT_EQ(pixelsLike(&plot, QColor(Qt::red)), 0);
}
