#include "app/program_icon.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>

namespace {
constexpr int kSize = 32;
}

QPixmap drawnProgramIcon() {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(32, 36, 48));
    painter.drawEllipse(QRectF(1, 1, kSize - 2, kSize - 2));

    const qreal mid = kSize / 2.0;
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 30, 30), 2));
    painter.drawLine(QPointF(mid, 4), QPointF(mid, kSize - 4));
    painter.drawLine(QPointF(4, mid), QPointF(kSize - 4, mid));
    painter.setPen(QPen(QColor(220, 30, 30), 1.5));
    painter.drawEllipse(QPointF(mid, mid), 7, 7);
    return pixmap;
}

QPixmap programIcon() {
    const QIcon icon = QGuiApplication::windowIcon();
    if (icon.isNull())
        return drawnProgramIcon();
    return icon.pixmap(kSize, kSize);
}
