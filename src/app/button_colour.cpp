#include "app/button_colour.h"

#include <QAbstractButton>
#include <QColor>

namespace {
constexpr const char* kProperty = "colourValue";
}

void setButtonColour(QAbstractButton* button, uint32_t colourValue) {
    const QColor colour(colourValue & 0xFF, (colourValue >> 8) & 0xFF, (colourValue >> 16) & 0xFF);
    button->setProperty(kProperty, colourValue);
    button->setStyleSheet(QStringLiteral("background-color: %1; color: black;").arg(colour.name()));
}

uint32_t buttonColour(const QAbstractButton* button) {
    return button->property(kProperty).toUInt();
}
