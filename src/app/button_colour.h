#pragma once

#include <cstdint>

class QAbstractButton;
class QWidget;

// Colour values are 0x00BBGGRR, red in the low byte.
namespace Colour {
inline constexpr uint32_t Red = 255;      // off
inline constexpr uint32_t Yellow = 65535; // waiting, or star lost
inline constexpr uint32_t Green = 65280;  // on
} // namespace Colour

// Day: the button in that colour with its caption. Night: dim red whatever the state, which
// then shows as a sign after the caption ("Guide ●" on, "Guide ◐" waiting, "Guide ○" off).
// A button's tooltip never takes its colour.
void setButtonColour(QAbstractButton* button, uint32_t colourValue);
uint32_t buttonColour(const QAbstractButton* button);

// The look setButtonColour gives from now on; restyleButtons() brings the coloured buttons
// under `root` to it.
void setNightButtons(bool night);
bool nightButtons();
void restyleButtons(QWidget* root);
