#include "capture/driver_restore.h"

namespace {
DriverRestore byName(const QStringList& captions, int savedIndex, const QString& savedName) {
    if (captions.value(savedIndex) == savedName)
        return {savedIndex, {}};
    if (const qsizetype found = captions.indexOf(savedName); found >= 0)
        return {int(found), QStringLiteral("The camera list has changed; connecting \"%1\" at its "
                                           "new place in the Camera menu")
                                .arg(savedName)};
    return {-1, QStringLiteral("The camera \"%1\" is not available now (INDI server down or "
                               "camera unplugged): no camera connected, choose one in the Camera "
                               "menu")
                    .arg(savedName)};
}

DriverRestore byIndex(const QStringList& captions, int savedIndex) {
    // An index past the list stands for the first driver, as in mnuDriver_Click.
    const int index = savedIndex >= 0 && savedIndex < captions.size() ? savedIndex : 0;
    if (!isIndiCameraCaption(captions[index]))
        return {savedIndex, {}};
    QList<int> others;
    for (int i = 0; i < captions.size(); ++i)
        if (!isIndiCameraCaption(captions[i]))
            others.append(i);
    if (others.isEmpty())
        return {-1, QStringLiteral("No camera connected: INDI cameras are connected only once "
                                   "chosen in the Camera menu")};
    const int chosen = others.value(savedIndex, others.first());
    return {chosen, QStringLiteral("\"%1\" connected: INDI cameras are connected only once chosen "
                                   "in the Camera menu")
                        .arg(captions[chosen])};
}
} // namespace

bool isIndiCameraCaption(const QString& caption) {
    return caption.endsWith(QStringLiteral(" (INDI)"));
}

DriverRestore restoreDriverIndex(const QStringList& captions, int savedIndex,
                                 const QString& savedName) {
    if (captions.isEmpty())
        return {savedIndex, {}};
    return savedName.isEmpty() ? byIndex(captions, savedIndex)
                               : byName(captions, savedIndex, savedName);
}
