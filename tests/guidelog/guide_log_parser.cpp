#include "guidelog/guide_log_parser.h"

#include <QRegularExpression>
#include <optional>

namespace {
const QStringList kDirections{"West", "East", "Backlash", "North", "South"};

void readHeaderLine(LogSection& section, const QString& line) {
    section.headerLines << line;
    for (const QString& item : line.split(", ")) {
        const qsizetype at = item.indexOf(" = ");
        if (at > 0)
            section.header.insert(item.left(at), item.mid(at + 3));
    }
}

bool isRow(const LogSection& section, const QStringList& fields) {
    if (section.kind == LogSection::Calibration)
        return kDirections.contains(fields.value(0));
    bool number = false;
    fields.value(0).toInt(&number);
    return number;
}

// One line after the column line; false when it closed the section.
bool readBodyLine(LogSection& section, const QString& line) {
    static const QRegularExpression summary("^(West|East|Backlash|North|South) calibration "
                                            "complete\\. ");
    if (line.isEmpty())
        return false;
    if (line.startsWith("Guiding Ends at ") || line.startsWith("Calibration complete") ||
        line.startsWith("Calibration failed") || line.startsWith("Calibration stopped")) {
        section.end = line;
        return false;
    }
    if (line.startsWith("INFO: ")) {
        section.entries.push_back({LogEntry::Info, line, {}});
    } else if (summary.match(line).hasMatch()) {
        section.entries.push_back({LogEntry::Summary, line, {}});
    } else {
        const QStringList fields = splitLogRow(line);
        section.entries.push_back(
            {isRow(section, fields) ? LogEntry::Row : LogEntry::Other, line, fields});
    }
    return true;
}

std::optional<LogSection> sectionStart(const QString& line) {
    for (const auto& [prefix, kind] :
         {std::pair{QString("Calibration Begins at "), LogSection::Calibration},
          std::pair{QString("Guiding Begins at "), LogSection::Guiding}})
        if (line.startsWith(prefix))
            return LogSection{kind, line.mid(prefix.size()), {}, {}, {}, {}, {}};
    return std::nullopt;
}
} // namespace

QStringList splitLogRow(const QString& line) {
    QStringList fields{QString()};
    bool quoted = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            fields.last() += '"';
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ',' && !quoted) {
            fields << QString();
        } else {
            fields.last() += c;
        }
    }
    return fields;
}

ParsedLog parseGuideLog(const QString& text) {
    ParsedLog log;
    QStringList lines = text.split('\n');
    for (QString& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    log.opening = lines.value(0);
    LogSection* open = nullptr;
    bool inBody = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QString& line = lines[i];
        if (!open) {
            if (auto section = sectionStart(line)) {
                log.sections.push_back(*section);
                open = &log.sections.back();
                inBody = false;
            } else if (!line.isEmpty()) {
                log.stray << line;
            }
        } else if (!inBody) {
            if (line.startsWith("Frame,") || line.startsWith("Direction,")) {
                open->columns = line.split(',');
                inBody = true;
            } else {
                readHeaderLine(*open, line);
            }
        } else if (!readBodyLine(*open, line)) {
            open = nullptr;
        }
    }
    return log;
}

std::vector<QStringList> LogSection::rows() const {
    std::vector<QStringList> out;
    for (const LogEntry& e : entries)
        if (e.kind == LogEntry::Row)
            out.push_back(e.fields);
    return out;
}

QStringList LogSection::texts(LogEntry::Kind kind) const {
    QStringList out;
    for (const LogEntry& e : entries)
        if (e.kind == kind)
            out << e.text;
    return out;
}
