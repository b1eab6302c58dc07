#include "capture/driver_restore.h"

bool isIndiCameraCaption(const QString& caption) {
    return caption.endsWith(QStringLiteral(" (INDI)"));
}

DriverRestore restoreDriverIndex(const QStringList& captions, int savedIndex,
                                 const QString& savedCaption) {
    const QString now = captions.value(savedIndex);
    if (savedCaption.isEmpty() || now == savedCaption ||
        (!isIndiCameraCaption(savedCaption) && !isIndiCameraCaption(now)))
        return {savedIndex, {}};
    if (const qsizetype found = captions.indexOf(savedCaption); found >= 0)
        return {int(found), QStringLiteral("The camera list has changed; connecting \"%1\" at its "
                                           "new place in the Camera menu")
                                .arg(savedCaption)};
    return {-1, QStringLiteral("The camera \"%1\" is not available now (INDI server down or "
                               "camera gone): no camera connected, choose one in the Camera menu")
                    .arg(savedCaption)};
}

bool driverCaptionToSave(const QString& saved, const QString& now) {
    return saved != now && (isIndiCameraCaption(now) || !saved.isEmpty());
}
