#include "app/picture_pane.h"

#include "app/frame_picture.h"

#include <QLabel>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace {
constexpr int kHintMargin = 4; // px from the picture's corner
} // namespace

PicturePane::PicturePane(QWidget* parent) : QWidget(parent) {
    picture = new FramePicture(this);
    horizontal = new QScrollBar(Qt::Horizontal, this);
    vertical = new QScrollBar(Qt::Vertical, this);
    horizontal->hide();
    vertical->hide();
    hint = new QLabel(this);
    hint->setObjectName(QStringLiteral("lblNextStep"));
    hint->setAttribute(Qt::WA_TransparentForMouseEvents);
    hint->setWordWrap(true);
    hint->hide();
    setHintNight(false);
    connect(picture, &FramePicture::viewChanged, this, &PicturePane::viewChanged);
    connect(horizontal, &QScrollBar::valueChanged, this, &PicturePane::scrolled);
    connect(vertical, &QScrollBar::valueChanged, this, &PicturePane::scrolled);
}

QSize PicturePane::sizeHint() const {
    return picture->sizeHint();
}

QSize PicturePane::minimumSizeHint() const {
    return picture->minimumSizeHint();
}

void PicturePane::resizeEvent(QResizeEvent*) {
    place();
}

// The picture fills the pane less the bars the zoomed frame needs (a fitted frame needs
// none); a bar needed along one axis narrows the other.
void PicturePane::place() {
    const ViewMapping& map = picture->mapping();
    const QSizeF content = map.contentSize();
    const int barWidth = vertical->sizeHint().width();
    const int barHeight = horizontal->sizeHint().height();
    bool across = !map.fitting() && content.height() > height();
    const bool down = !map.fitting() && content.width() > width() - (across ? barWidth : 0);
    across = across || (down && !map.fitting() && content.height() > height() - barHeight);
    const QRect inside(0, 0, width() - (across ? barWidth : 0), height() - (down ? barHeight : 0));
    vertical->setVisible(across);
    horizontal->setVisible(down);
    vertical->setGeometry(inside.right() + 1, 0, barWidth, inside.height());
    horizontal->setGeometry(0, inside.bottom() + 1, inside.width(), barHeight);
    placing_ = true;
    picture->setGeometry(inside);
    placing_ = false;
    placeHint();
    showBars();
}

// A bar's value is the view's left (top) edge in scaled-frame pixels.
void PicturePane::showBars() {
    const ViewMapping& map = picture->mapping();
    const QSizeF content = map.contentSize();
    const QSize view = map.viewSize();
    const auto show = [](QScrollBar* bar, double content, int view, double offset) {
        const QSignalBlocker quiet(bar);
        bar->setRange(0, std::max(static_cast<int>(std::ceil(content)) - view, 0));
        bar->setPageStep(view);
        bar->setSingleStep(std::max(view / 20, 1));
        bar->setValue(static_cast<int>(std::lround(-offset)));
    };
    show(horizontal, content.width(), view.width(), map.offset().x());
    show(vertical, content.height(), view.height(), map.offset().y());
}

// A new zoom may need other bars.
void PicturePane::viewChanged() {
    if (placing_)
        return;
    place();
}

void PicturePane::scrolled() {
    picture->scrollTo(QPointF(horizontal->value(), vertical->value()));
}

void PicturePane::setHint(const QString& text) {
    hint->setText(text);
    hint->setVisible(!text.isEmpty());
    placeHint();
}

void PicturePane::setHintNight(bool night) {
    hint->setStyleSheet(night ? QStringLiteral("QLabel { background-color: rgba(0, 0, 0, 190); "
                                               "color: #b00000; padding: 3px; }")
                              : QStringLiteral("QLabel { background-color: rgba(0, 0, 0, 160); "
                                               "color: #f0f0f0; padding: 3px; }"));
}

void PicturePane::placeHint() {
    // One line when it fits, wrapped inside the picture otherwise; padding included.
    const int room = std::max(1, picture->width() - 2 * kHintMargin);
    const int natural = hint->fontMetrics().horizontalAdvance(hint->text()) + 4 * kHintMargin;
    const int width = std::min(room, natural);
    hint->setGeometry(kHintMargin, kHintMargin, width, hint->heightForWidth(width));
    hint->raise();
}
