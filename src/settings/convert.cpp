#include "settings/convert.h"

#include <QLocale>
#include <charconv>
#include <cmath>
#include <iterator>
#include <limits>

namespace {
std::optional<double> toFinite(const QString& text) {
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}
} // namespace

std::optional<bool> toFlag(const QString& text) {
    const auto value = toFinite(text);
    if (!value)
        return std::nullopt;
    return *value != 0.0;
}

std::optional<int64_t> toWhole(const QString& text, int64_t min, int64_t max) {
    bool ok = false;
    const qlonglong value = QLocale::c().toLongLong(text.trimmed(), &ok);
    if (!ok || value < min || value > max)
        return std::nullopt;
    return value;
}

std::optional<float> toSingle(const QString& text) {
    const auto value = toFinite(text);
    if (!value || std::fabs(*value) > std::numeric_limits<float>::max())
        return std::nullopt;
    return static_cast<float>(*value);
}

QString fromWhole(int64_t value) {
    return QString::number(value);
}

QString fromSingle(float value) {
    char text[32];
    const auto end = std::to_chars(std::begin(text), std::end(text), value).ptr;
    return QString::fromLatin1(text, end - text);
}
