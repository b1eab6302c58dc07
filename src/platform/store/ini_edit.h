#pragma once

#include <QByteArray>
#include <QString>

// `file` with `key` of `section` set to `text`. Sections and keys match without regard to
// letter case. The key's first line keeps its spelling and takes the new value; further lines of
// the key (other letter case, a repeated section) are removed. A key not there yet is added
// after the last line of the section's first block, a section not there yet at the end of the
// file. Nothing else changes: comments, blank lines, order, spelling and bytes that are not UTF-8
// stay as they were; lines added end like the file's first line ("\r\n" or "\n").
QByteArray withIniValue(const QByteArray& file, const QString& section, const QString& key,
                        const QString& text);
