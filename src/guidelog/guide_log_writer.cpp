#include "guidelog/guide_log_writer.h"

#include "guidelog/guide_log_lines.h"

#include <QDir>
#include <QFileInfo>

namespace {
// Copies of one start time's name tried before giving up.
constexpr int kMaxCopies = 999;
} // namespace

GuideLogWriter::GuideLogWriter(const QString& folder, const QDateTime& start,
                               const QString& opening)
    : folder_(folder), start_(start), opening_(opening) {}

QString GuideLogWriter::filePath() const {
    return file_.isOpen() ? file_.fileName() : QString();
}

bool GuideLogWriter::write(const QStringList& lines) {
    if (stopped_)
        return false;
    if (!file_.isOpen() && !open())
        return false;
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toUtf8() + '\n';
    if (file_.write(bytes) != bytes.size() || !file_.flush())
        return fail(file_.errorString());
    return true;
}

// NewOnly fails on any existing file, so a name is taken only when nothing holds it.
bool GuideLogWriter::open() {
    if (!QDir().mkpath(folder_))
        return fail(QStringLiteral("cannot create the folder %1").arg(folder_));
    const QDir dir(folder_);
    for (int copy = 1; copy <= kMaxCopies; ++copy) {
        const QString path = dir.filePath(guideLogFileName(start_, copy));
        file_.setFileName(path);
        if (file_.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return write({opening_});
        if (!QFileInfo::exists(path))
            return fail(QStringLiteral("%1: %2").arg(path, file_.errorString()));
    }
    return fail(QStringLiteral("no free file name in %1").arg(folder_));
}

bool GuideLogWriter::fail(const QString& why) {
    stopped_ = true;
    error_ = why;
    file_.close();
    return false;
}
