#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <vector>

// The INI text as QSettings reads it, so that a file can be changed one key at a time and every
// other byte kept.

// One logical line: a section header or a "key=value" entry, possibly spanning several physical
// lines (quotes, "\" line continuations). Blank lines and ";" comments are not lines here.
struct IniLine {
    qsizetype start = 0;   // first byte, after leading blanks
    qsizetype end = 0;     // one past the last byte: at the line break or a trailing comment
    qsizetype equals = -1; // the first "=" outside quotes, -1 when none

    QByteArrayView in(QByteArrayView file) const { return file.sliced(start, end - start); }
};

// The logical lines of a file, in order.
std::vector<IniLine> iniLines(QByteArrayView file);

// A section or key name as read from the file ("%20" and "%U00E9" escapes, "\" for "/");
// `raw` is trimmed first.
QString iniUnescapedName(QByteArrayView raw);
// How QSettings writes a section or key name: letters, digits, "_", "-" and "." as they are,
// "/" as "\", everything else as %XX (up to U+00FF) or %UXXXX.
QByteArray iniEscapedName(const QString& name);
// A value that QSettings reads back as exactly `text`, written as QSettings writes it: quoted
// when it holds ";", "," or "=" or starts or ends with a blank; control characters, quotes and
// backslashes escaped; other characters in UTF-8; a leading "@" doubled.
QByteArray iniEscapedValue(const QString& text);
