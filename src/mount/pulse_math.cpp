#include "mount/pulse_math.h"

#include <QLocale>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {
// Ties go to the even neighbour whatever the floating-point rounding mode.
double roundHalfEven(double value) {
    return value - std::remainder(value, 1.0);
}

// NaN and negative totals become 0; the int32_t range limits the rest.
int32_t clampMs(double wholeMs) {
    if (!(wholeMs >= 0.0))
        return 0;
    if (wholeMs >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(wholeMs);
}
} // namespace

float backlashFor(const QString& lastAxisLetter, const QString& oppositeLetter,
                  float axisBacklashMs) {
    return lastAxisLetter == oppositeLetter ? axisBacklashMs : 0.0f;
}

int32_t relayHoldMs(float backlashMs, int32_t lengthMs) {
    return clampMs(roundHalfEven(static_cast<double>(backlashMs) + lengthMs));
}

QString autostarCommand(const QString& prefix, float backlashMs, int32_t lengthMs) {
    const int32_t ms = clampMs(std::round(static_cast<double>(backlashMs) + lengthMs));
    return prefix + QStringLiteral("%1").arg(ms, 4, 10, QLatin1Char('0'));
}

std::optional<int32_t> nudgeLength(const QString& text) {
    static const QRegularExpression plainDecimal(
        QStringLiteral(R"(^[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)$)"));
    const QString trimmed = text.trimmed();
    if (!plainDecimal.match(trimmed).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    const double ms = roundHalfEven(value);
    if (ms <= 0.0 || ms > kMaxNudgeMs)
        return std::nullopt;
    return static_cast<int32_t>(ms);
}
