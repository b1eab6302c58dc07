#include "platform/store/ini_text.h"

#include <QList>

namespace {
bool blank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool hexDigit(char32_t c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

QByteArray hex(uint value, int digits) {
    return QByteArray::number(value, 16).toUpper().rightJustified(digits, '0');
}

// Where the logical line that starts at or after `pos` ends, in QSettings' reading: a line break
// ends it unless inside quotes, "\" takes the next byte (a line break too) as it is, and ";"
// starts a comment (a whole comment line is skipped).
IniLine scanLine(QByteArrayView data, qsizetype pos) {
    const qsizetype n = data.size();
    IniLine line;
    qsizetype start = pos;
    while (start < n && blank(data[start]))
        ++start;
    bool inQuotes = false;
    qsizetype i = start;
    while (i < n) {
        const char c = data[i++];
        if (c == '=') {
            if (!inQuotes && line.equals < 0)
                line.equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            if (i == start + 1)
                ++start;
            else if (!inQuotes) {
                --i;
                break;
            }
        } else if (c == '\\') {
            if (i < n) {
                const char next = data[i++];
                if (i < n &&
                    ((next == '\n' && data[i] == '\r') || (next == '\r' && data[i] == '\n')))
                    ++i;
            }
        } else if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < n && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < n && blank(data[i]))
                    ++i;
                start = i;
            } else if (!inQuotes) {
                --i;
                break;
            }
        }
    }
    line.start = start;
    line.end = i;
    return line;
}

// The escape QSettings writes for a character, or "" for one it writes as it is.
QByteArray controlEscape(char32_t c) {
    switch (c) {
    case '\0':
        return "\\0";
    case '\a':
        return "\\a";
    case '\b':
        return "\\b";
    case '\f':
        return "\\f";
    case '\n':
        return "\\n";
    case '\r':
        return "\\r";
    case '\t':
        return "\\t";
    case '\v':
        return "\\v";
    case '"':
        return "\\\"";
    case '\\':
        return "\\\\";
    default:
        return c <= 0x1F ? "\\x" + QByteArray::number(uint(c), 16) : QByteArray();
    }
}
} // namespace

std::vector<IniLine> iniLines(QByteArrayView file) {
    std::vector<IniLine> lines;
    for (qsizetype pos = 0; pos < file.size();) {
        const IniLine line = scanLine(file, pos);
        if (line.end <= line.start)
            break;
        lines.push_back(line);
        pos = line.end;
    }
    return lines;
}

QString iniUnescapedName(QByteArrayView raw) {
    const QString decoded = QString::fromUtf8(raw.trimmed());
    QString name;
    for (qsizetype i = 0; i < decoded.size();) {
        const QChar c = decoded[i];
        if (c == u'\\') {
            name += u'/';
            ++i;
            continue;
        }
        const bool wide = c == u'%' && i + 1 < decoded.size() && decoded[i + 1] == u'U';
        const qsizetype digits = wide ? 4 : 2, first = i + (wide ? 2 : 1);
        bool ok = false;
        const ushort code = c == u'%' && first + digits <= decoded.size()
                                ? decoded.sliced(first, digits).toUShort(&ok, 16)
                                : 0;
        if (ok) {
            name += QChar(code);
            i = first + digits;
        } else {
            name += c;
            ++i;
        }
    }
    return name;
}

QByteArray iniEscapedName(const QString& name) {
    QByteArray out;
    for (const QChar c : name) {
        const ushort u = c.unicode();
        if (c == u'/')
            out += '\\';
        else if ((u < 0x80 && c.isLetterOrNumber()) || c == u'_' || c == u'-' || c == u'.')
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + hex(u, 2);
        else
            out += "%U" + hex(u, 4);
    }
    return out;
}

QByteArray iniEscapedValue(const QString& text) {
    const QString value = text.startsWith(u'@') ? u'@' + text : text;
    QByteArray out;
    bool quote = false;
    bool escapeHexDigit = false; // after a numeric escape, which would swallow a digit
    for (const char32_t c : value.toUcs4()) {
        quote = quote || c == ';' || c == ',' || c == '=';
        if (escapeHexDigit && hexDigit(c)) {
            out += "\\x" + QByteArray::number(uint(c), 16);
            continue;
        }
        const QByteArray escape = controlEscape(c);
        escapeHexDigit = c == '\0' || (c <= 0x1F && escape.startsWith("\\x"));
        out += escape.isEmpty() ? QString::fromUcs4(&c, 1).toUtf8() : escape;
    }
    if (quote || out.startsWith(' ') || out.endsWith(' '))
        out = '"' + out + '"';
    return out;
}
