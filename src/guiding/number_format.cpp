#include "guiding/number_format.h"

QString formatFixed(double value, int decimals) {
    // QString::number never uses the locale.
    QString text = QString::number(value, 'f', decimals < 0 ? 0 : decimals);
    const bool negative = value < 0;
    if (negative && !text.startsWith(QLatin1Char('-')))
        text.prepend(QLatin1Char('-'));
    else if (!negative && text.startsWith(QLatin1Char('-')))
        text.remove(0, 1); // negative zero
    return text;
}
