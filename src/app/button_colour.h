#pragma once

#include <cstdint>

class QAbstractButton;

// Colour values are 0x00BBGGRR, red in the low byte.
namespace Colour {
inline constexpr uint32_t Red = 255;      // off
inline constexpr uint32_t Yellow = 65535; // waiting, or star lost
inline constexpr uint32_t Green = 65280;  // on
} // namespace Colour

void setButtonColour(QAbstractButton* button, uint32_t colourValue);
uint32_t buttonColour(const QAbstractButton* button);
