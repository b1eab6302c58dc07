#include "app/control_scroll.h"

#include <QScrollBar>
#include <QVBoxLayout>

namespace {
// The shortest the area gets: a few controls stay in sight.
constexpr int kMinHeight = 120;
} // namespace

ControlScroll::ControlScroll(QWidget* column, QWidget* parent)
    : QScrollArea(parent), column_(column) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The column keeps its height at the top; the room below it stays empty.
    auto* holder = new QWidget;
    auto* v = new QVBoxLayout(holder);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    v->addWidget(column);
    v->addStretch(1);
    setWidget(holder);
    setWidgetResizable(true);
    viewport()->setAutoFillBackground(false);
    holder->setAutoFillBackground(false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
}

int ControlScroll::barWidth() const {
    return verticalScrollBar()->sizeHint().width();
}

// The column's own size: a fixed width holds whatever its layout hints.
QSize ControlScroll::sizeHint() const {
    const QSize column =
        column_->sizeHint().expandedTo(column_->minimumSize()).boundedTo(column_->maximumSize());
    return column + QSize(barShown_ ? barWidth() : 0, 0);
}

QSize ControlScroll::minimumSizeHint() const {
    return {sizeHint().width(), kMinHeight};
}

void ControlScroll::resizeEvent(QResizeEvent* event) {
    QScrollArea::resizeEvent(event);
    const bool shown = height() < column_->sizeHint().height();
    if (shown != barShown_) {
        barShown_ = shown;
        updateGeometry();
    }
}
