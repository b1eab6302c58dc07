#include "app/night_mode.h"

#include <QApplication>
#include <optional>

namespace {
const QColor kText(0xb0, 0, 0);
const QColor kDimText(0x80, 0, 0);
const QColor kBase(0, 0, 0);
const QColor kWindow(0x10, 0, 0);
const QColor kRaised(0x20, 0, 0);
// The picture's white maps to this red, 0..255.
constexpr int kPictureRed = 190;

struct DayLook {
    QPalette palette;
    QString styleSheet;
};
std::optional<DayLook>& dayLook() {
    static std::optional<DayLook> look;
    return look;
}
} // namespace

QPalette nightPalette() {
    QPalette p;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Window, kWindow);
        p.setColor(group, QPalette::WindowText, kText);
        p.setColor(group, QPalette::Base, kBase);
        p.setColor(group, QPalette::AlternateBase, kWindow);
        p.setColor(group, QPalette::Text, kText);
        p.setColor(group, QPalette::Button, kRaised);
        p.setColor(group, QPalette::ButtonText, kText);
        p.setColor(group, QPalette::BrightText, kText);
        p.setColor(group, QPalette::Highlight, QColor(0x50, 0, 0));
        p.setColor(group, QPalette::HighlightedText, QColor(0xd0, 0, 0));
        p.setColor(group, QPalette::ToolTipBase, kWindow);
        p.setColor(group, QPalette::ToolTipText, kText);
        p.setColor(group, QPalette::PlaceholderText, kDimText);
        p.setColor(group, QPalette::Link, kText);
        p.setColor(group, QPalette::Light, QColor(0x40, 0, 0));
        p.setColor(group, QPalette::Midlight, QColor(0x30, 0, 0));
        p.setColor(group, QPalette::Mid, QColor(0x28, 0, 0));
        p.setColor(group, QPalette::Dark, QColor(0x18, 0, 0));
        p.setColor(group, QPalette::Shadow, kBase);
    }
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x50, 0, 0));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x50, 0, 0));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x50, 0, 0));
    p.setColor(QPalette::Disabled, QPalette::Window, kWindow);
    p.setColor(QPalette::Disabled, QPalette::Base, kBase);
    p.setColor(QPalette::Disabled, QPalette::Button, kWindow);
    return p;
}

QString nightStyleSheet() {
    return QStringLiteral("QToolTip { color: #b00000; background-color: #100000; "
                          "border: 1px solid #500000; }"
                          "QMenuBar, QMenu { color: #b00000; background-color: #100000; }"
                          "QMenu::item:selected, QMenuBar::item:selected { "
                          "background-color: #400000; }"
                          "QProgressBar::chunk { background-color: #600000; }");
}

void applyNightMode(QApplication& app, bool on) {
    std::optional<DayLook>& day = dayLook();
    if (on) {
        if (!day)
            day = DayLook{app.palette(), app.styleSheet()};
        app.setPalette(nightPalette());
        app.setStyleSheet(nightStyleSheet());
    } else if (day) {
        app.setPalette(day->palette);
        app.setStyleSheet(day->styleSheet);
    }
}

QImage nightView(const QImage& picture) {
    QImage out(picture.size(), QImage::Format_RGB32);
    const QImage in = picture.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < in.height(); ++y) {
        const auto* from = reinterpret_cast<const QRgb*>(in.constScanLine(y));
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < in.width(); ++x)
            to[x] = qRgb(qGray(from[x]) * kPictureRed / 255, 0, 0);
    }
    return out;
}
