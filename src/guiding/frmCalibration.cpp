#include "guiding/frmCalibration.h"

#include "graph/axis_colours.h"
#include "guiding/calibration_store.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
// The smallest rectangle holding every place; null when there are none. (QRectF::united
// skips rectangles of no size, so the corners are tracked by hand.)
QRectF boundsOf(const std::vector<QPointF>& a, const std::vector<QPointF>& b) {
    bool any = false;
    QPointF low, high;
    for (const auto* path : {&a, &b})
        for (const QPointF& p : *path) {
            low = any ? QPointF(std::min(low.x(), p.x()), std::min(low.y(), p.y())) : p;
            high = any ? QPointF(std::max(high.x(), p.x()), std::max(high.y(), p.y())) : p;
            any = true;
        }
    return any ? QRectF(low, high + QPointF(1e-3, 1e-3)) : QRectF();
}
} // namespace

CalibrationPlot::CalibrationPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(240, 240);
}

void CalibrationPlot::setPath(std::vector<QPointF> ra, std::vector<QPointF> dec) {
    ra_ = std::move(ra);
    dec_ = std::move(dec);
    update();
}

void CalibrationPlot::setAxes(const std::optional<Calibration>& c) {
    axes_ = c;
    update();
}

// Same scale on both axes, the path centred with a margin; at least 10 frame pixels across.
double CalibrationPlot::span() const {
    const QRectF bounds = boundsOf(ra_, dec_);
    return std::max({bounds.width(), bounds.height(), 10.0}) * 1.2;
}

QPointF CalibrationPlot::placeOf(QPointF star) const {
    const double scale = std::min(width(), height()) / span();
    return QRectF(rect()).center() + (star - boundsOf(ra_, dec_).center()) * scale;
}

void CalibrationPlot::setNight(bool night) {
    night_ = night;
    update();
}

void CalibrationPlot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (ra_.empty() && dec_.empty())
        return;
    const double span = this->span();
    const auto at = [this](QPointF p) { return placeOf(p); };
    const QPointF origin = ra_.empty() ? dec_.front() : ra_.front();
    const QColor ra = night_ ? kNightRaColour : kRaColour;
    const QColor dec = night_ ? kNightDecColour : kDecColour;
    if (axes_) {
        const auto axis = [&](double degrees, const QColor& colour) {
            const double a = degrees * std::numbers::pi / 180;
            const QPointF d(std::cos(a) * span, std::sin(a) * span);
            painter.setPen(QPen(colour, 1, Qt::DashLine));
            painter.drawLine(at(origin - d), at(origin + d));
        };
        axis(axes_->raAngle, ra.darker(140));
        if (axes_->hasDec)
            axis(axes_->decAngle, dec.darker(140));
    }
    for (const auto& [path, colour] : {std::pair{&ra_, ra}, std::pair{&dec_, dec}}) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        for (const QPointF& p : *path)
            painter.drawEllipse(at(p), 2.5, 2.5);
    }
}

frmCalibration::frmCalibration(Calibrator& calibrator, QWidget* parent)
    : QWidget(parent, Qt::Tool), calibrator_(calibrator) {
    setWindowTitle(QStringLiteral("Calibration"));
    auto* layout = new QVBoxLayout(this);
    lblProgress = new QLabel(this);
    lblResult = new QLabel(this);
    lblResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblBacklash = new QLabel(this);
    lblAdjusted = new QLabel(this);
    lblAdjusted->setWordWrap(true);
    picPath = new CalibrationPlot(this);
    cmdStop = new QPushButton(QStringLiteral("Stop"), this);
    cmdStop->setToolTip(QStringLiteral("End the calibration now; nothing is stored"));
    cmdStop->setEnabled(calibrator.running());
    for (QWidget* w : std::initializer_list<QWidget*>{lblProgress, lblResult, lblAdjusted,
                                                      lblBacklash, picPath, cmdStop})
        layout->addWidget(w);
    connect(cmdStop, &QPushButton::clicked, this, &frmCalibration::stopClicked);
    connect(&calibrator, &Calibrator::started, this, &frmCalibration::started);
    connect(&calibrator, &Calibrator::stepped, this, &frmCalibration::stepped);
    connect(&calibrator, &Calibrator::completed, this, [this](const Calibration& c) {
        ended(QStringLiteral("Calibration done"));
        showResult(c);
    });
    connect(&calibrator, &Calibrator::failed, this, &frmCalibration::ended);
    connect(&calibrator, &Calibrator::stopped, this,
            [this] { ended(QStringLiteral("Calibration stopped")); });
    lblProgress->setText(calibrator.running() ? QStringLiteral("Calibrating")
                                              : QStringLiteral("Not calibrating"));
}

void frmCalibration::showResult(const std::optional<Calibration>& c) {
    lblResult->setText(c ? calibrationSummary(*c).join('\n')
                         : QStringLiteral("No calibration stored"));
    if (c)
        picPath->setPath(c->raPath, c->decPath);
    picPath->setAxes(c);
}

void frmCalibration::showBacklash(std::optional<double> ms) {
    lblBacklash->setText(ms ? QStringLiteral("Dec backlash: %1 ms").arg(*ms, 0, 'f', 0)
                            : QStringLiteral("Dec backlash: not measured"));
}

void frmCalibration::showAdjustment(const QString& text) {
    lblAdjusted->setText(text.isEmpty() ? QStringLiteral("Used as made: the mount points as it "
                                                         "did then, or cannot say where it points")
                                        : text);
}

void frmCalibration::started() {
    cmdStop->setEnabled(true);
    lblProgress->setText(QStringLiteral("Calibrating"));
    picPath->setAxes(std::nullopt);
    picPath->setPath({}, {});
}

void frmCalibration::stepped(const CalibrationProgress& progress) {
    lblProgress->setText(QStringLiteral("Calibrating: ") + calibrationProgressText(progress));
    const CalibrationPath& p = calibrator_.path();
    picPath->setPath(joinLegs(p.west, p.east), joinLegs(p.north, p.south));
}

void frmCalibration::ended(const QString& text) {
    cmdStop->setEnabled(false);
    lblProgress->setText(text);
}
