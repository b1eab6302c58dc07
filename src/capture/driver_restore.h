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

// "DriverIndex" is an index into a list that cameras join and leave (an INDI server started or
// stopped, a webcam plugged in or out). Start-up connects the camera the operator chose, never
// another one in its place:
// - savedName (the Camera menu caption saved with the index) names the entry that carries it,
//   wherever it is now; when no entry carries it, no camera is connected.
// - Without a saved name the index stands as it is, except that it never picks an INDI camera
//   (choosing one saves its name): it then counts among the other entries, as it did before
//   INDI cameras were listed. An index past them picks the first of them.
// captions: the Camera menu's, by index, of the drivers found (none: the index stands).
DriverRestore restoreDriverIndex(const QStringList& captions, int savedIndex,
                                 const QString& savedName);
