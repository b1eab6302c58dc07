#include "darks/dark_library.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <cmath>

namespace {
const QString kSuffix = QStringLiteral(".dark");

QString fileName(const FrameShape& s, double exposureSec) {
    return QStringLiteral("%1x%2-%3c%4-%5ms")
               .arg(s.width)
               .arg(s.height)
               .arg(s.channels)
               .arg(s.bitDepth)
               .arg(std::llround(exposureSec * 1000)) +
           kSuffix;
}

// How far apart two exposures are, as the factor between them (1: the same).
double factor(double a, double b) {
    return a > b ? a / b : b / a;
}
} // namespace

DarkLibrary::DarkLibrary(QString folder) : folder_(std::move(folder)) {}

void DarkLibrary::setFolder(const QString& folder) {
    folder_ = folder;
    index_.clear();
    loaded_.clear();
}

QString DarkLibrary::defaultFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Orvalis/darks");
}

QString DarkLibrary::cameraFolder(const QString& camera) const {
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._-]"));
    QString name = camera;
    name.replace(unsafe, QStringLiteral("_"));
    if (name.isEmpty() || name.startsWith(u'.'))
        name.prepend(u'_');
    return folder_ + u'/' + name;
}

bool DarkLibrary::store(const QString& camera, const DarkFrame& dark, QString* error) {
    const QString dir = cameraFolder(camera);
    if (!QDir().mkpath(dir)) {
        *error = QStringLiteral("cannot make the folder %1").arg(dir);
        return false;
    }
    const QString path = dir + u'/' + fileName(dark.shape, dark.exposureSec);
    if (!writeDarkFile(path, camera, dark, error))
        return false;
    loaded_.insert(path, std::make_shared<const DarkFrame>(dark));
    index_.remove(camera);
    return true;
}

// Read again whenever the folder changed (a dark stored by another run of the program).
const DarkLibrary::CameraIndex& DarkLibrary::indexOf(const QString& camera) {
    const QString dir = cameraFolder(camera);
    const QDateTime modified = QFileInfo(dir).lastModified();
    auto it = index_.find(camera);
    if (it != index_.end() && it->scanned == modified)
        return *it;
    CameraIndex index{modified, {}};
    for (const QFileInfo& file : QDir(dir).entryInfoList({u'*' + kSuffix}, QDir::Files)) {
        const std::optional<DarkFileHeader> header = readDarkHeader(file.filePath());
        if (header && header->camera == camera && header->exposureSec > 0)
            index.entries.push_back({file.filePath(), *header});
        if (it != index_.end())
            loaded_.remove(file.filePath());
    }
    return *index_.insert(camera, std::move(index));
}

std::vector<DarkFileHeader> DarkLibrary::darksOf(const QString& camera) {
    std::vector<DarkFileHeader> headers;
    for (const Entry& e : indexOf(camera).entries)
        headers.push_back(e.header);
    return headers;
}

std::optional<DarkMatch> DarkLibrary::find(const QString& camera, const FrameShape& shape,
                                           double exposureSec) {
    if (exposureSec <= 0)
        return std::nullopt;
    const Entry* best = nullptr;
    for (const Entry& e : indexOf(camera).entries)
        if (e.header.shape == shape && factor(e.header.exposureSec, exposureSec) <= kMaxScale &&
            (!best || factor(e.header.exposureSec, exposureSec) <
                          factor(best->header.exposureSec, exposureSec)))
            best = &e;
    if (!best)
        return std::nullopt;
    auto dark = loaded_.value(best->path);
    if (!dark) {
        std::optional<DarkFrame> read = readDarkFile(best->path);
        if (!read || !(read->shape == shape))
            return std::nullopt;
        dark = std::make_shared<const DarkFrame>(std::move(*read));
        loaded_.insert(best->path, dark);
    }
    const double ratio = exposureSec / best->header.exposureSec;
    return DarkMatch{dark, best->path, std::abs(ratio - 1.0) <= 0.01 ? 1.0 : ratio};
}
