#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

// The guide log file of one program start. Nothing touches the disk until the first write,
// which creates the folder when missing and the file named by the start time
// (guideLogFileName), never replacing an existing file: a name in use gets the next free copy
// number. Lines are UTF-8, each ending in "\n", flushed with every write.
class GuideLogWriter {
public:
    // `opening` becomes the file's first line.
    GuideLogWriter(const QString& folder, const QDateTime& start, const QString& opening);

    // Appends `lines`. false when the file could not be created or a line not written
    // completely (disk full); the writer has then stopped and writes nothing more.
    bool write(const QStringList& lines);

    bool stopped() const { return stopped_; }
    // Why it stopped; empty while it works.
    QString errorString() const { return error_; }
    const QString& folder() const { return folder_; }
    // The file written, empty before the first write.
    QString filePath() const;

private:
    bool open();
    bool fail(const QString& why);

    QString folder_;
    QDateTime start_;
    QString opening_;
    QFile file_;
    bool stopped_ = false;
    QString error_;
};
