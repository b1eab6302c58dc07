#include "platform/telescope/indi_number_format.h"

#include <QRegularExpression>
#include <QStringList>
#include <cmath>

namespace {
QString twoDigits(qint64 n) {
    return QStringLiteral("%1").arg(n, 2, 10, QChar('0'));
}

// Whole part right-aligned in wholeWidth, then ":mm" or ":mm:ss"; the last field carries
// `decimals` decimals.
QString formatSexagesimal(int wholeWidth, int fields, int decimals, double value) {
    const qint64 scale = decimals == 0 ? 1 : (decimals == 1 ? 10 : 100);
    const qint64 partsPerWhole = (fields == 1 ? 60 : 3600) * scale;
    const qint64 total = qRound64(std::fabs(value) * double(partsPerWhole));
    const qint64 rest = total % partsPerWhole;
    const QString sign = value < 0 && total != 0 ? QStringLiteral("-") : QString();
    QString text = (sign + QString::number(total / partsPerWhole)).rightJustified(wholeWidth);
    qint64 last = rest;
    if (fields == 2) {
        text += ':' + twoDigits(rest / (60 * scale));
        last = rest % (60 * scale);
    }
    text += ':' + twoDigits(last / scale);
    if (decimals > 0)
        text += '.' + QStringLiteral("%1").arg(last % scale, decimals, 10, QChar('0'));
    return text;
}

QString formatSexagesimal(int width, int fraction, double value) {
    switch (fraction) {
    case 3:
        return formatSexagesimal(width - fraction, 1, 0, value);
    case 5:
        return formatSexagesimal(width - fraction, 1, 1, value);
    case 8:
        return formatSexagesimal(width - fraction, 2, 1, value);
    case 9:
        return formatSexagesimal(width - fraction, 2, 2, value);
    default:
        return formatSexagesimal(width - fraction, 2, 0, value);
    }
}
} // namespace

QString formatIndiNumber(const QString& format, double value) {
    static const QRegularExpression pattern(
        QStringLiteral("^%([-+ 0#]*)(\\d{0,2})(?:\\.(\\d{1,2}))?([eEfFgGdim])$"));
    const auto match = pattern.match(format);
    if (!match.hasMatch() || !std::isfinite(value))
        return QString::number(value, 'g', 10);
    const QChar conversion = match.captured(4).at(0);
    if (conversion == 'm')
        return formatSexagesimal(match.captured(2).toInt(), match.captured(3).toInt(), value);
    if (conversion == 'd' || conversion == 'i')
        return QString::number(qRound64(value));
    // Only flags, width, precision and one floating conversion remain: safe for one double.
    return QString::asprintf(format.toLatin1().constData(), value);
}

std::optional<double> parseIndiNumber(const QString& text) {
    const QStringList parts = text.trimmed().split(
        QRegularExpression(QStringLiteral("\\s*:\\s*|\\s+")), Qt::KeepEmptyParts);
    if (parts.isEmpty() || parts.size() > 3)
        return std::nullopt;
    double magnitude = 0;
    double unit = 1;
    for (int i = 0; i < parts.size(); ++i) {
        bool ok = false;
        const double part = parts[i].toDouble(&ok);
        if (!ok || !std::isfinite(part) ||
            (i > 0 && (part < 0 || part >= 60 || parts[i].startsWith('+'))))
            return std::nullopt;
        magnitude += std::fabs(part) * unit;
        unit /= 60;
    }
    return parts.first().startsWith('-') ? -magnitude : magnitude;
}
