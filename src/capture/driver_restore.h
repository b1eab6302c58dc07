#pragma once

#include <QString>
#include <QStringList>

// Which driver start-up connects. index -1: none.
struct DriverRestore {
    int index = -1;
    QString note; // for the status bar; empty when nothing needs saying
};

// Whether a Camera menu caption names an INDI camera.
bool isIndiCameraCaption(const QString& caption);

// "DriverIndex" is an index into a list that INDI cameras join and leave (server down, camera
// unplugged). When the driver saved with it (savedCaption, its Camera menu caption) or the
// entry now at that index is an INDI camera and the two differ, start-up follows the caption:
// the entry that carries it, or none at all when it is missing, rather than another camera.
// Otherwise the saved index stands as it is. captions: the Camera menu's, by index.
DriverRestore restoreDriverIndex(const QStringList& captions, int savedIndex,
                                 const QString& savedCaption);

// Whether the caption of the driver just connected (`now`) is to be saved over `saved`: only
// once an INDI camera has been connected, so a setup of webcams alone never writes it.
bool driverCaptionToSave(const QString& saved, const QString& now);
