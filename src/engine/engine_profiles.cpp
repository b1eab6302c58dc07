#include "engine/guide_engine.h"

namespace {
const QString kOnlyName = QStringLiteral("Orvalis");
} // namespace

std::vector<Profile> GuideEngine::profiles() {
    if (!platform_.profiles)
        return {{ProfileStore::kFirstId, kOnlyName}};
    return platform_.profiles->profiles();
}

Profile GuideEngine::currentProfile() {
    if (!platform_.profiles)
        return {ProfileStore::kFirstId, kOnlyName};
    return platform_.profiles->current();
}

QString GuideEngine::profileSwitchRefusal() {
    if (state.guiding || calibrating() || state.previewing)
        return QStringLiteral("stop the loop before changing the equipment set");
    if (cameraConnected() || telescopeMarked())
        return QStringLiteral("disconnect the equipment before changing the equipment set");
    return {};
}

QString GuideEngine::switchProfile(int id) {
    ProfileStore* sets = platform_.profiles;
    if (id == currentProfile().id)
        return {};
    if (!sets)
        return QStringLiteral("there is no equipment set %1").arg(id);
    if (const QString why = profileSwitchRefusal(); !why.isEmpty())
        return why;
    platform_.store->flush();
    if (!sets->select(id))
        return sets->lastError();
    const EngineChange change(*this);
    releaseTelescope();
    loadSettings(false);
    restoreEquipment();
    loadCalibration();
    note(QStringLiteral("Equipment set \"%1\" in use").arg(currentProfile().name));
    emit profileSwitched();
    return {};
}

QString GuideEngine::addProfile(const QString& name) {
    if (!platform_.profiles)
        return QStringLiteral("equipment sets are not kept here");
    if (const QString why = profileSwitchRefusal(); !why.isEmpty())
        return why;
    platform_.store->flush();
    const std::optional<int> id = platform_.profiles->add(name);
    return id ? switchProfile(*id) : platform_.profiles->lastError();
}

QString GuideEngine::renameProfile(int id, const QString& name) {
    if (!platform_.profiles)
        return QStringLiteral("equipment sets are not kept here");
    const EngineChange change(*this);
    return platform_.profiles->rename(id, name) ? QString() : platform_.profiles->lastError();
}

QString GuideEngine::removeProfile(int id) {
    if (!platform_.profiles)
        return QStringLiteral("equipment sets are not kept here");
    if (id == ProfileStore::kFirstId)
        return QStringLiteral("the first set stays");
    if (id == currentProfile().id) {
        if (const QString why = switchProfile(ProfileStore::kFirstId); !why.isEmpty())
            return why;
    }
    const EngineChange change(*this);
    return platform_.profiles->remove(id) ? QString() : platform_.profiles->lastError();
}
