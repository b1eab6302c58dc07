#pragma once

#include <QString>

// value with exactly `decimals` decimals (negative counts as 0) and at least one integer
// digit: a point as the separator whatever the locale, no grouping, '-' for negatives.
// A negative value keeps its sign even when it rounds to zero ("-0.000"); zero, negative zero
// included, has none.
QString formatFixed(double value, int decimals);
