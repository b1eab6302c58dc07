#include "guiding/error_log.h"

#include "guiding/number_format.h"

namespace {
bool isBlank(QChar c) {
    return c.isSpace();
}

void chopTrailingBlanks(QString& text) {
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
}

QString withoutZoneToken(const QString& format) {
    QString out;
    bool quoted = false;
    bool dropBlanks = false; // after a token at the start: its blank follows it
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (dropBlanks && isBlank(c))
            continue;
        dropBlanks = false;
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (quoted || c != QLatin1Char('t')) {
            out += c;
            continue;
        }
        while (i + 1 < format.size() && format.at(i + 1) == QLatin1Char('t'))
            ++i;
        // "(t)" leaves no empty brackets behind.
        if (out.endsWith(QLatin1Char('(')) && i + 1 < format.size() &&
            format.at(i + 1) == QLatin1Char(')')) {
            out.chop(1);
            ++i;
        }
        chopTrailingBlanks(out);
        dropBlanks = out.isEmpty();
    }
    return out.trimmed();
}

bool hasUnquoted(const QString& format, QChar letter) {
    bool quoted = false;
    for (QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        else if (!quoted && c == letter)
            return true;
    }
    return false;
}
} // namespace

QString logTimeFormat(const QString& longTimeFormat) {
    const QString format = withoutZoneToken(longTimeFormat);
    if (!hasUnquoted(format, QLatin1Char('s')))
        return QStringLiteral("HH:mm:ss");
    return format;
}

QString errorLogLine(const QDateTime& now, double raArcsec, double decArcsec,
                     const QLocale& locale) {
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    const QString time =
        locale.toString(now.time(), logTimeFormat(locale.timeFormat(QLocale::LongFormat)));
    return QStringLiteral("%1, %2, %3, %4")
        .arg(date, time, formatFixed(raArcsec, 3), formatFixed(decArcsec, 3));
}

bool ErrorLog::open(const QString& path, bool append) {
    close();
    file_.setFileName(path);
    const QIODevice::OpenMode mode =
        QIODevice::WriteOnly | (append ? QIODevice::Append : QIODevice::Truncate);
    if (path.isEmpty() || !file_.open(mode)) {
        error_ = path.isEmpty() ? QStringLiteral("No file name") : file_.errorString();
        return false;
    }
    return true;
}

void ErrorLog::close() {
    if (file_.isOpen())
        file_.close();
}

bool ErrorLog::isOpen() const {
    return file_.isOpen();
}

bool ErrorLog::writeLine(const QString& line) {
    if (!file_.isOpen()) {
        error_ = QStringLiteral("The log file is not open");
        return false;
    }
    const QByteArray bytes = (line + QStringLiteral("\r\n")).toUtf8();
    // Flushed at once: the line is on disk before the next cycle, and a full disk shows here.
    if (file_.write(bytes) != bytes.size() || !file_.flush()) {
        error_ = file_.errorString();
        file_.close();
        return false;
    }
    return true;
}

QString ErrorLog::errorString() const {
    return error_;
}
