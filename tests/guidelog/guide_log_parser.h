#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

// A reader of the guide log written from the format's public description alone, as a log
// viewer would read it: section lines, header "Name = value" pairs, the column line, data rows
// (comma-separated, quoted fields unquoted), INFO lines, and the lines that end a direction or
// a section. It knows nothing of the writer's code.
struct LogEntry {
    enum Kind { Row, Info, Summary, Other } kind;
    QString text;       // the line as written
    QStringList fields; // Row: the fields, unquoted
};

struct LogSection {
    enum Kind { Calibration, Guiding } kind;
    QString beginTime; // after "... Begins at "
    QMap<QString, QString> header;
    QStringList headerLines;
    QStringList columns;
    std::vector<LogEntry> entries; // after the column line, in order
    QString end;                   // "Guiding Ends at ...", "Calibration complete, ...", ...

    std::vector<QStringList> rows() const;
    QStringList texts(LogEntry::Kind kind) const;
};

struct ParsedLog {
    QString opening;
    std::vector<LogSection> sections;
    // Lines outside any section other than the opening and blank lines.
    QStringList stray;
};

// Splits one data row at commas outside double quotes; "" inside quotes is one quote.
QStringList splitLogRow(const QString& line);
ParsedLog parseGuideLog(const QString& text);
