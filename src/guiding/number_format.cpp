#include "guiding/number_format.h"

#include <algorithm>

namespace {
bool allZeroDigits(QStringView digits) {
    return std::all_of(digits.begin(), digits.end(),
                       [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); });
}
} // namespace

QString formatFixed(double value, int decimals) {
    // QString::number never uses the locale.
    QString text = QString::number(value, 'f', decimals < 0 ? 0 : decimals);
    if (text.startsWith(QLatin1Char('-')) && allZeroDigits(QStringView(text).mid(1)))
        text.remove(0, 1);
    return text;
}
