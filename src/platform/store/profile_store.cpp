#include "platform/store/profile_store.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

namespace {
const QString kSection = QStringLiteral("Profile");
const QString kNameKey = QStringLiteral("Name");
const QString kSelectedKey = QStringLiteral("Selected");
const QString kFirstName = QStringLiteral("Orvalis");
constexpr int kMaxNameLength = 60;
} // namespace

ProfileStore::ProfileStore(const QString& firstPath)
    : firstPath_(firstPath),
      folder_(QFileInfo(firstPath).absolutePath() + QStringLiteral("/Profiles")),
      first_(firstPath) {
    bool number = false;
    const int selected = first_.readSetting(kSection, kSelectedKey, {}).trimmed().toInt(&number);
    if (number && selected != kFirstId && QFileInfo::exists(pathOf(selected))) {
        current_ = std::make_unique<IniSettingsStore>(pathOf(selected));
        currentId_ = selected;
    }
}

ProfileStore::~ProfileStore() = default;

QString ProfileStore::pathOf(int id) const {
    return QStringLiteral("%1/%2.ini").arg(folder_).arg(id);
}

QString ProfileStore::readSetting(const QString& section, const QString& key,
                                  const QString& defaultText) {
    return inUse().readSetting(section, key, defaultText);
}

bool ProfileStore::writeSetting(const QString& section, const QString& key, const QString& text) {
    if (inUse().writeSetting(section, key, text))
        return true;
    lastError_ = inUse().lastError();
    return false;
}

// A file without a name (made by hand) is called by its number.
QString ProfileStore::nameOf(int id) {
    const QString unnamed = id == kFirstId ? kFirstName : QStringLiteral("Set %1").arg(id);
    if (id == currentId_)
        return inUse().readSetting(kSection, kNameKey, unnamed).trimmed();
    if (id == kFirstId)
        return first_.readSetting(kSection, kNameKey, unnamed).trimmed();
    IniSettingsStore other(pathOf(id));
    return other.readSetting(kSection, kNameKey, unnamed).trimmed();
}

std::vector<Profile> ProfileStore::profiles() {
    std::vector<int> ids{kFirstId};
    static const QRegularExpression file(QStringLiteral("^(\\d{1,6})\\.ini$"));
    for (const QString& entry : QDir(folder_).entryList(QDir::Files))
        if (const auto m = file.match(entry); m.hasMatch() && m.captured(1).toInt() > kFirstId)
            ids.push_back(m.captured(1).toInt());
    std::sort(ids.begin(), ids.end());
    std::vector<Profile> all;
    for (int id : ids)
        all.push_back({id, nameOf(id)});
    return all;
}

Profile ProfileStore::current() {
    return {currentId_, nameOf(currentId_)};
}

bool ProfileStore::select(int id) {
    if (id == currentId_)
        return true;
    if (id != kFirstId && (id < kFirstId || !QFileInfo::exists(pathOf(id))))
        return refuse(QStringLiteral("there is no equipment set %1").arg(id));
    if (!first_.writeSetting(kSection, kSelectedKey, QString::number(id)))
        return refuse(first_.lastError());
    current_ = id == kFirstId ? nullptr : std::make_unique<IniSettingsStore>(pathOf(id));
    currentId_ = id;
    if (selected_)
        selected_();
    return true;
}

QString ProfileStore::nameProblem(const QString& name, int except) {
    if (name.isEmpty())
        return QStringLiteral("an equipment set needs a name");
    if (name.size() > kMaxNameLength)
        return QStringLiteral("a name of at most %1 characters, please").arg(kMaxNameLength);
    for (const Profile& p : profiles())
        if (p.id != except && p.name.compare(name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("there is already a set named \"%1\"").arg(p.name);
    return {};
}

std::optional<int> ProfileStore::add(const QString& given) {
    const QString name = given.simplified();
    if (const QString why = nameProblem(name, 0); !why.isEmpty()) {
        refuse(why);
        return std::nullopt;
    }
    const int id = profiles().back().id + 1;
    // Only the first file's choice of set counts, so a copy of it may carry one.
    QByteArray settings;
    if (QFile source(current_ ? pathOf(currentId_) : firstPath_); source.exists()) {
        if (!source.open(QIODevice::ReadOnly)) {
            refuse(QStringLiteral("the settings in use could not be read to copy them"));
            return std::nullopt;
        }
        settings = source.readAll();
    }
    QDir().mkpath(folder_);
    QFile target(pathOf(id));
    if (!target.open(QIODevice::WriteOnly | QIODevice::NewOnly) ||
        target.write(settings) != settings.size()) {
        refuse(QStringLiteral("the equipment set could not be saved in %1").arg(folder_));
        return std::nullopt;
    }
    target.close();
    IniSettingsStore made(pathOf(id));
    if (!made.writeSetting(kSection, kNameKey, name)) {
        refuse(made.lastError());
        return std::nullopt;
    }
    return id;
}

bool ProfileStore::rename(int id, const QString& given) {
    const QString name = given.simplified();
    if (const QString why = nameProblem(name, id); !why.isEmpty())
        return refuse(why);
    if (id == currentId_)
        return inUse().writeSetting(kSection, kNameKey, name) || refuse(inUse().lastError());
    if (id == kFirstId)
        return first_.writeSetting(kSection, kNameKey, name) || refuse(first_.lastError());
    if (!QFileInfo::exists(pathOf(id)))
        return refuse(QStringLiteral("there is no equipment set %1").arg(id));
    IniSettingsStore other(pathOf(id));
    return other.writeSetting(kSection, kNameKey, name) || refuse(other.lastError());
}

bool ProfileStore::remove(int id) {
    if (id == kFirstId || id == currentId_)
        return refuse(QStringLiteral("the first set and the set in use stay"));
    QString kept = pathOf(id) + QStringLiteral(".removed");
    for (int n = 2; QFileInfo::exists(kept); ++n)
        kept = pathOf(id) + QStringLiteral(".removed.%1").arg(n);
    if (!QFileInfo::exists(pathOf(id)))
        return refuse(QStringLiteral("there is no equipment set %1").arg(id));
    return QFile::rename(pathOf(id), kept) ||
           refuse(QStringLiteral("%1 could not be renamed").arg(pathOf(id)));
}

bool ProfileStore::refuse(const QString& why) {
    lastError_ = why;
    return false;
}

QString ProfileStore::unreadableNote() const {
    return current_ ? current_->unreadableNote() : first_.unreadableNote();
}
