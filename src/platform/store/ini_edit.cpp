#include "platform/store/ini_edit.h"

#include "platform/store/ini_text.h"

#include <algorithm>
#include <optional>

namespace {
struct Replacement {
    qsizetype from, to; // byte range of the file
    QByteArray with;
};

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Past the line break that ends the physical line holding `pos` (the file's end if none).
qsizetype afterLineBreak(const QByteArray& file, qsizetype pos) {
    const qsizetype lf = file.indexOf('\n', pos);
    return lf < 0 ? file.size() : lf + 1;
}

// Past the line break at `pos`, if one is there (a trailing comment stays, as a comment line).
qsizetype pastBreakAt(const QByteArray& file, qsizetype pos) {
    if (pos < file.size() && file[pos] == '\r')
        ++pos;
    if (pos < file.size() && file[pos] == '\n')
        ++pos;
    return pos;
}

QByteArray lineEnding(const QByteArray& file) {
    const qsizetype lf = file.indexOf('\n');
    return lf > 0 && file[lf - 1] == '\r' ? QByteArrayLiteral("\r\n") : QByteArrayLiteral("\n");
}

bool blank(char c) {
    return c == ' ' || c == '\t';
}

// The old value, without the blanks around it, becomes the new one; the key's spelling and
// the blanks stay.
Replacement newValue(const QByteArray& file, const IniLine& line, const QByteArray& value) {
    qsizetype from = line.equals + 1, to = line.end;
    while (from < to && blank(file[from]))
        ++from;
    while (to > from && blank(file[to - 1]))
        --to;
    return {from, to, value};
}

// Where the key's lines are, and where a new one would go.
struct KeyPlaces {
    std::vector<IniLine> lines;
    std::optional<qsizetype> sectionEnd; // end of the last line of the section's first block
};

KeyPlaces findKey(const QByteArray& file, const QString& section, const QString& key) {
    KeyPlaces places;
    bool inSection = false, firstBlock = false;
    for (const IniLine& line : iniLines(file)) {
        const QByteArrayView text = line.in(file);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            inSection = sameName(
                iniUnescapedName(text.sliced(1, (close < 0 ? text.size() : close) - 1)), section);
            firstBlock = inSection && !places.sectionEnd;
            if (firstBlock)
                places.sectionEnd = line.end;
            continue;
        }
        if (!inSection)
            continue;
        if (firstBlock)
            places.sectionEnd = line.end;
        if (line.equals >= 0 &&
            sameName(iniUnescapedName(file.sliced(line.start, line.equals - line.start)), key))
            places.lines.push_back(line);
    }
    return places;
}
} // namespace

QByteArray withIniValue(const QByteArray& file, const QString& section, const QString& key,
                        const QString& text) {
    const QByteArray value = iniEscapedValue(text);
    const QByteArray eol = lineEnding(file);
    const KeyPlaces places = findKey(file, section, key);
    std::vector<Replacement> edits;
    if (!places.lines.empty()) {
        edits.push_back(newValue(file, places.lines.front(), value));
        for (size_t i = 1; i < places.lines.size(); ++i) {
            const IniLine& twin = places.lines[i];
            edits.push_back({twin.start, pastBreakAt(file, twin.end), {}});
        }
    } else {
        const QByteArray entry = iniEscapedName(key) + '=' + value + eol;
        if (places.sectionEnd) {
            const qsizetype at = afterLineBreak(file, *places.sectionEnd);
            const bool unended = at == file.size() && !file.endsWith('\n');
            edits.push_back({at, at, (unended ? eol : QByteArray()) + entry});
        } else {
            QByteArray block =
                file.isEmpty() ? QByteArray() : (file.endsWith('\n') ? eol : eol + eol);
            block += '[' + iniEscapedName(section) + ']' + eol + entry;
            edits.push_back({file.size(), file.size(), block});
        }
    }
    std::sort(edits.begin(), edits.end(),
              [](const Replacement& a, const Replacement& b) { return a.from > b.from; });
    QByteArray out = file;
    for (const Replacement& e : edits)
        out.replace(e.from, e.to - e.from, e.with);
    return out;
}
