#include "app/button_colour.h"

#include <QAbstractButton>
#include <QColor>

namespace {
constexpr const char* kProperty = "colourValue";
// The caption the button had when it was first coloured: night signs go after it.
constexpr const char* kCaption = "dayCaption";
bool night = false;

QString nightSheet(uint32_t colourValue) {
    const char* background = colourValue == Colour::Green    ? "#500000"
                             : colourValue == Colour::Yellow ? "#300000"
                                                             : "#140000";
    const char* text = colourValue == Colour::Red ? "#800000" : "#d00000";
    return QStringLiteral("QAbstractButton { background-color: %1; color: %2; "
                          "border: 1px solid #500000; padding: 3px; }")
        .arg(QLatin1String(background), QLatin1String(text));
}

QString nightSign(uint32_t colourValue) {
    return colourValue == Colour::Green    ? QStringLiteral(" \u25CF")
           : colourValue == Colour::Yellow ? QStringLiteral(" \u25D0")
                                           : QStringLiteral(" \u25CB");
}
} // namespace

void setButtonColour(QAbstractButton* button, uint32_t colourValue) {
    if (!button->property(kCaption).isValid())
        button->setProperty(kCaption, button->text());
    const QString caption = button->property(kCaption).toString();
    button->setProperty(kProperty, colourValue);
    if (night) {
        button->setStyleSheet(nightSheet(colourValue));
        button->setText(caption + nightSign(colourValue));
        return;
    }
    const QColor colour(colourValue & 0xFF, (colourValue >> 8) & 0xFF, (colourValue >> 16) & 0xFF);
    button->setStyleSheet(QStringLiteral("QAbstractButton { background-color: %1; color: black; }")
                              .arg(colour.name()));
    button->setText(caption);
}

uint32_t buttonColour(const QAbstractButton* button) {
    return button->property(kProperty).toUInt();
}

void setNightButtons(bool on) {
    night = on;
}

bool nightButtons() {
    return night;
}

void restyleButtons(QWidget* root) {
    for (QAbstractButton* button : root->findChildren<QAbstractButton*>())
        if (button->property(kProperty).isValid())
            setButtonColour(button, buttonColour(button));
}
