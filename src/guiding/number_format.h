#pragma once

#include <QString>

// value with exactly `decimals` decimals (negative counts as 0) and at least one integer
// digit: a point as the separator whatever the locale, no grouping, '-' for negatives.
// A negative value that rounds to zero prints without the sign ("0.000", not "-0.000").
QString formatFixed(double value, int decimals);
