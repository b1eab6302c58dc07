#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Longest pulse the nudge buttons send, in ms.
inline constexpr int32_t kMaxNudgeMs = 10000;

// Backlash to add to a pulse: axisBacklashMs when the previous pulse on the axis went the
// other way (lastAxisLetter equals oppositeLetter, case-sensitive, e.g. "W" before an East
// pulse), else 0. An empty last letter (no pulse yet) never matches a direction letter.
float backlashFor(const QString& lastAxisLetter, const QString& oppositeLetter,
                  float axisBacklashMs);

// How long a relay output stays closed: backlash + length in whole ms, halves to the even
// neighbour, never negative.
int32_t relayHoldMs(float backlashMs, int32_t lengthMs);

// The serial guide command: prefix ("Mgn", "Mgs", "Mge", "Mgw") followed by backlash + length
// rounded to whole ms (halves away from zero), zero-filled to at least four digits, e.g.
// "Mgn0500", "Mgn12345". No framing characters. A negative total is sent as 0.
QString autostarCommand(const QString& prefix, float backlashMs, int32_t lengthMs);

// The nudge box's text as a pulse length in ms: a plain decimal number with an optional point
// and blanks around it; fractions round to the nearest whole, halves to even. nullopt for
// empty or other text, for exponents, and for lengths <= 0 or above kMaxNudgeMs.
std::optional<int32_t> nudgeLength(const QString& text);
