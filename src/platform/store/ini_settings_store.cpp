#include "platform/store/ini_settings_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringList>

namespace {
QString matching(const QStringList& names, const QString& wanted) {
    for (const QString& name : names)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return name;
    return {};
}

QString freeBadName(const QString& path) {
    QString candidate = path + QStringLiteral(".bad");
    for (int n = 2; QFileInfo::exists(candidate); ++n)
        candidate = path + QStringLiteral(".bad.%1").arg(n);
    return candidate;
}
bool validUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

QList<QByteArray> linesOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().split('\n');
}

// The file's lines that are not valid UTF-8. QSettings reads their bad bytes as U+FFFD and
// would write them back so.
QList<QByteArray> nonUtf8Lines(const QString& path) {
    QList<QByteArray> lines = linesOf(path);
    lines.removeIf([](const QByteArray& line) { return validUtf8(line); });
    return lines;
}

// Puts back the original bytes of every line that QSettings rewrote unchanged but for the
// replacement characters, so a write alters nothing the operator did not change.
bool restoreLines(const QString& path, const QList<QByteArray>& originals) {
    QList<QByteArray> lines = linesOf(path);
    bool changed = false;
    for (QByteArray& line : lines)
        for (const QByteArray& original : originals)
            if (line != original && QString::fromUtf8(line) == QString::fromUtf8(original)) {
                line = original;
                changed = true;
                break;
            }
    if (!changed)
        return true;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(lines.join('\n')) >= 0 && file.commit();
}
} // namespace

IniSettingsStore::IniSettingsStore(const QString& path) : path_(path) {
    setAsideIfUnreadable();
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
}

IniSettingsStore::~IniSettingsStore() = default;

QString IniSettingsStore::defaultPath() {
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Orvalis/Orvalis.ini");
}

// QSettings rewrites a file it failed to parse on its next sync, losing whatever it could not
// read; moving such a file aside first keeps it for the operator.
void IniSettingsStore::setAsideIfUnreadable() {
    if (!QFileInfo::exists(path_))
        return;
    QSettings probe(path_, QSettings::IniFormat);
    if (probe.status() != QSettings::FormatError)
        return;
    const QString bad = freeBadName(path_);
    if (QFile::rename(path_, bad))
        keptAs_ = bad;
}

QString IniSettingsStore::findGroup(const QString& section) const {
    return matching(settings_->childGroups(), section);
}

QString IniSettingsStore::findKey(const QString& group, const QString& key) const {
    settings_->beginGroup(group);
    const QString found = matching(settings_->childKeys(), key);
    settings_->endGroup();
    return found;
}

QString IniSettingsStore::readSetting(const QString& section, const QString& key,
                                      const QString& defaultText) {
    const QString group = findGroup(section);
    if (group.isEmpty())
        return defaultText;
    const QString stored = findKey(group, key);
    if (stored.isEmpty())
        return defaultText;
    const QVariant value = settings_->value(group + u'/' + stored);
    // An unquoted comma in a hand-edited file makes QSettings split the text into a list.
    if (value.userType() == QMetaType::QStringList)
        return value.toStringList().join(u',');
    return value.toString();
}

bool IniSettingsStore::writeSetting(const QString& section, const QString& key,
                                    const QString& text) {
    // QSettings keeps reporting its first error; a fresh instance retries from the file.
    if (settings_->status() != QSettings::NoError)
        settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    QString group = findGroup(section);
    if (group.isEmpty())
        group = section;
    for (QString stored = findKey(group, key); !stored.isEmpty(); stored = findKey(group, key))
        settings_->remove(group + u'/' + stored);
    const QList<QByteArray> nonUtf8 = nonUtf8Lines(path_);
    settings_->setValue(group + u'/' + key, text);
    settings_->sync();
    if (settings_->status() == QSettings::NoError && restoreLines(path_, nonUtf8)) {
        lastError_.clear();
        return true;
    }
    lastError_ = QStringLiteral("Settings could not be saved to %1").arg(path_);
    return false;
}
