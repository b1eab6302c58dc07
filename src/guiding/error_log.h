#pragma once

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QString>

// The time format of the log derived from a locale's long time format: its time-zone token
// ("t" and longer runs of t) is dropped together with the blank before it; a format without
// seconds becomes "HH:mm:ss". Quoted literal text is kept as it is.
QString logTimeFormat(const QString& longTimeFormat);

// The line for one guide cycle: "<date>, <time>, <ra>, <dec>" (no line end) with the locale's
// short date, its long time without a time zone (hours, minutes, seconds), and the errors in
// arcsec with 3 decimals and a point.
QString errorLogLine(const QDateTime& now, double raArcsec, double decArcsec,
                     const QLocale& locale);

// The guide error log file; lines are written in UTF-8 and end in "\r\n".
class ErrorLog {
public:
    // Opens for appending (created if absent) or overwriting (created or emptied), closing a
    // file opened before. Never creates a folder. false when it cannot be opened (missing
    // folder, bad name, no permission, a folder); errorString() tells why.
    bool open(const QString& path, bool append);
    void close();
    bool isOpen() const;
    // Writes one line + "\r\n" straight to the file. false when the line could not be written
    // completely (disk full, file gone) or no file is open; a failed write closes the log.
    bool writeLine(const QString& line);
    // Why the last open or write failed; empty before any failure.
    QString errorString() const;

private:
    QFile file_;
    QString error_;
};
