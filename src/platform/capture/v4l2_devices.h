#pragma once

#include "platform/capture/v4l2_io.h"

#include <QString>
#include <QStringList>
#include <vector>

struct v4l2_capability;

struct V4l2DeviceInfo {
    QString path;    // "/dev/video0"
    QString card;    // the name the driver gives the camera
    QString version; // driver version, "major.minor.patch"
};

// The cameras under devRoot: every videoN node, in ascending N, whose capabilities include
// video capture and streaming (metadata and output nodes are left out). A node that cannot be
// opened is left out too, and the reason goes to `notes` (when given) as one operator line such
// as "Cannot open /dev/video2: Permission denied (add your user to group video)".
std::vector<V4l2DeviceInfo> listV4l2CaptureDevices(V4l2Io& io,
                                                   const QString& devRoot = QStringLiteral("/dev"),
                                                   QStringList* notes = nullptr);

// Whether a node with these capabilities delivers frames by streaming; the node's own
// capabilities count when the driver reports them, else those of the whole device.
bool v4l2CanCapture(const v4l2_capability& caps);

// "major.minor.patch" of a capability version number.
QString v4l2VersionText(uint32_t version);

// The text of a fixed-size, possibly unterminated character field of a V4L2 structure.
template <size_t N> QString v4l2Text(const unsigned char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length])
        ++length;
    return QString::fromUtf8(reinterpret_cast<const char*>(field), qsizetype(length));
}
