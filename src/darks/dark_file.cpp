#include "darks/dark_file.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>
#include <QtEndian>

namespace {
constexpr quint32 kMagic = 0x4f44524b; // "ODRK"
constexpr quint16 kVersion = 1;
// No dark is larger than this many values (a 16-megapixel colour frame).
constexpr qint64 kMaxValues = qint64(16) << 22;

bool readHeader(QDataStream& in, DarkFileHeader& h) {
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    if (magic != kMagic || version != kVersion)
        return false;
    qint32 w = 0, hgt = 0, channels = 0, depth = 0, maxValue = 0, frames = 0;
    in >> h.camera >> w >> hgt >> channels >> depth >> maxValue >> h.exposureSec >> frames >>
        h.taken;
    h.shape = {w, hgt, channels, depth, maxValue};
    h.frames = frames;
    const bool sane = w > 0 && hgt > 0 && (channels == 1 || channels == 3) &&
                      (depth == 8 || depth == 16) && maxValue > 0 &&
                      static_cast<qint64>(h.shape.count()) <= kMaxValues;
    return in.status() == QDataStream::Ok && sane;
}
} // namespace

bool writeDarkFile(const QString& path, const QString& camera, const DarkFrame& dark,
                   QString* error) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = file.errorString();
        return false;
    }
    QDataStream out(&file);
    out.setVersion(QDataStream::Qt_6_0);
    const FrameShape& s = dark.shape;
    out << kMagic << kVersion << camera << qint32(s.width) << qint32(s.height) << qint32(s.channels)
        << qint32(s.bitDepth) << qint32(s.maxValue) << dark.exposureSec << qint32(dark.frames)
        << dark.taken;
    std::vector<float> le(dark.values.size());
    qToLittleEndian<float>(dark.values.data(), static_cast<qsizetype>(le.size()), le.data());
    out.writeRawData(reinterpret_cast<const char*>(le.data()),
                     static_cast<int>(le.size() * sizeof(float)));
    if (out.status() != QDataStream::Ok || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

namespace {
// Opens the file on `in` and reads its header; false when either fails.
bool openDark(QFile& file, QDataStream& in, DarkFileHeader& h) {
    if (!file.open(QIODevice::ReadOnly))
        return false;
    in.setDevice(&file);
    in.setVersion(QDataStream::Qt_6_0);
    return readHeader(in, h);
}
} // namespace

std::optional<DarkFileHeader> readDarkHeader(const QString& path) {
    QFile file(path);
    QDataStream in;
    DarkFileHeader h;
    if (!openDark(file, in, h))
        return std::nullopt;
    return h;
}

std::optional<DarkFrame> readDarkFile(const QString& path) {
    QFile file(path);
    QDataStream in;
    DarkFileHeader h;
    if (!openDark(file, in, h))
        return std::nullopt;
    DarkFrame dark{h.shape, h.exposureSec, h.frames, h.taken, {}};
    dark.values.resize(h.shape.count());
    const auto bytes = static_cast<int>(dark.values.size() * sizeof(float));
    if (in.readRawData(reinterpret_cast<char*>(dark.values.data()), bytes) != bytes)
        return std::nullopt;
    qFromLittleEndian<float>(dark.values.data(), static_cast<qsizetype>(dark.values.size()),
                             dark.values.data());
    return dark;
}
