#include "platform/capture/v4l2_devices.h"

#include <QDir>
#include <QRegularExpression>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/videodev2.h>

namespace {

// The videoN names under devRoot, sorted by N.
std::vector<std::pair<int, QString>> videoNodes(const QString& devRoot) {
    static const QRegularExpression pattern(QStringLiteral("^video(\\d{1,6})$"));
    std::vector<std::pair<int, QString>> nodes;
    const QDir dir(devRoot);
    const QStringList names =
        dir.entryList({QStringLiteral("video*")}, QDir::AllEntries | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = pattern.match(name);
        if (match.hasMatch())
            nodes.emplace_back(match.captured(1).toInt(), dir.filePath(name));
    }
    std::sort(nodes.begin(), nodes.end());
    return nodes;
}

QString openNote(const QString& path, int error) {
    QString note = QStringLiteral("Cannot open %1: %2").arg(path, v4l2ErrorText(error));
    if (error == -EACCES || error == -EPERM)
        note += QStringLiteral(" (add your user to group video)");
    else if (error == -EBUSY)
        note += QStringLiteral(" (another program is using it)");
    return note;
}

} // namespace

bool v4l2CanCapture(const v4l2_capability& caps) {
    const uint32_t node =
        (caps.capabilities & V4L2_CAP_DEVICE_CAPS) ? caps.device_caps : caps.capabilities;
    const uint32_t needed = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    return (node & needed) == needed;
}

QString v4l2VersionText(uint32_t version) {
    return QStringLiteral("%1.%2.%3")
        .arg((version >> 16) & 0xFF)
        .arg((version >> 8) & 0xFF)
        .arg(version & 0xFF);
}

std::vector<V4l2DeviceInfo> listV4l2CaptureDevices(V4l2Io& io, const QString& devRoot,
                                                   QStringList* notes) {
    std::vector<V4l2DeviceInfo> devices;
    for (const auto& [number, path] : videoNodes(devRoot)) {
        const int fd = io.open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            if (notes)
                notes->append(openNote(path, fd));
            continue;
        }
        v4l2_capability caps{};
        if (io.ioctl(fd, VIDIOC_QUERYCAP, &caps) == 0 && v4l2CanCapture(caps))
            devices.push_back({path, v4l2Text(caps.card), v4l2VersionText(caps.version)});
        io.close(fd);
    }
    return devices;
}
