#include "platform/store/ini_settings_store.h"

#include "platform/store/ini_edit.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
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

QString IniSettingsStore::findKey(const QString& group, const QString& key) const {
    settings_->beginGroup(group);
    const QString found = matching(settings_->childKeys(), key);
    settings_->endGroup();
    return found;
}

// Sections that differ only in letter case are separate groups to QSettings; the key is looked
// for in each.
QString IniSettingsStore::readSetting(const QString& section, const QString& key,
                                      const QString& defaultText) {
    for (const QString& group : settings_->childGroups()) {
        if (group.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        const QString stored = findKey(group, key);
        if (stored.isEmpty())
            continue;
        const QVariant value = settings_->value(group + u'/' + stored);
        // An unquoted comma in a hand-edited file makes QSettings split the text into a list.
        if (value.userType() == QMetaType::QStringList)
            return value.toStringList().join(u',');
        return value.toString();
    }
    return defaultText;
}

// The file is changed as text, one line at a time: QSettings would write every key back in its
// own spelling and order, without the comments, and text that is not UTF-8 as U+FFFD.
bool IniSettingsStore::writeSetting(const QString& section, const QString& key,
                                    const QString& text) {
    QFile current(path_);
    QByteArray file;
    if (current.exists()) {
        if (!current.open(QIODevice::ReadOnly))
            return failed();
        file = current.readAll();
        current.close();
    }
    const QFileInfo before(path_);
    const QDateTime beforeTime = before.exists() ? before.lastModified() : QDateTime();
    QDir().mkpath(before.absolutePath());
    QSaveFile out(path_);
    const QByteArray updated = withIniValue(file, section, key, text);
    if (!out.open(QIODevice::WriteOnly) || out.write(updated) != updated.size() || !out.commit())
        return failed();
    if (updated.size() == file.size())
        markChanged(beforeTime);
    settings_ = std::make_unique<QSettings>(path_, QSettings::IniFormat);
    lastError_.clear();
    return true;
}

// QSettings keeps the files it parsed, shared by every instance, and parses one again only when
// its size or its modification time (in milliseconds) differs: a value of the same length written
// within the same millisecond would stay unseen. The new file is then dated a second later.
void IniSettingsStore::markChanged(const QDateTime& beforeTime) {
    if (!beforeTime.isValid() || QFileInfo(path_).lastModified() != beforeTime)
        return;
    QFile written(path_);
    if (written.open(QIODevice::ReadOnly))
        written.setFileTime(beforeTime.addSecs(1), QFileDevice::FileModificationTime);
}

bool IniSettingsStore::failed() {
    lastError_ = QStringLiteral("Settings could not be saved to %1").arg(path_);
    return false;
}

QString IniSettingsStore::unreadableNote() const {
    const QString kept = keptUnreadableAs();
    return kept.isEmpty() ? QString()
                          : QStringLiteral("The settings file could not be read and was kept as "
                                           "%1; defaults are in use")
                                .arg(kept);
}
