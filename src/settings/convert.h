#pragma once

#include <QString>
#include <cstdint>
#include <optional>

// Conversions of stored setting texts. Numbers are always read and written with a point as
// the decimal separator, whatever the locale; surrounding blanks are ignored. Each returns
// nullopt for text that does not convert, so the caller can keep a default.

// A number; zero is false, any other value true.
std::optional<bool> toFlag(const QString& text);
// A decimal whole number within [min, max]; fractions, exponents and blanks do not convert.
std::optional<int64_t> toWhole(const QString& text, int64_t min, int64_t max);
// A finite decimal number that fits a single-precision float.
std::optional<float> toSingle(const QString& text);

QString fromWhole(int64_t value);
// Shortest text that reads back as the same single-precision value, e.g. 5.6 -> "5.6".
QString fromSingle(float value);
