#pragma once

#include "darks/dark_file.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// The dark chosen for a frame, and how it is applied (see subtractDark).
struct DarkMatch {
    std::shared_ptr<const DarkFrame> dark;
    QString path;
    double scale = 1.0; // the frame's exposure over the dark's
};

// The darks taken, one file per camera, frame shape and exposure under
// <folder>/<camera>/, kept from one run of the program to the next.
class DarkLibrary {
public:
    // Darks whose exposure differs from the frame's by more than this factor are not used.
    static constexpr double kMaxScale = 2.0;

    explicit DarkLibrary(QString folder = defaultFolder());
    // The user's data folder + "/Orvalis/darks" (~/.local/share/Orvalis/darks), beside the
    // guide logs.
    static QString defaultFolder();
    const QString& folder() const { return folder_; }
    void setFolder(const QString& folder);

    // Stores the dark, replacing one of the same camera, shape and exposure; false with
    // `error` set when it cannot be written.
    bool store(const QString& camera, const DarkFrame& dark, QString* error);
    // The dark of `camera` for a frame of `shape` exposed `exposureSec`: one of the same
    // exposure (within 1 %) as it is, else the nearest within kMaxScale, scaled. None of
    // another camera or shape is ever used.
    std::optional<DarkMatch> find(const QString& camera, const FrameShape& shape,
                                  double exposureSec);
    // The headers of the darks stored for `camera`.
    std::vector<DarkFileHeader> darksOf(const QString& camera);
    // The folder of `camera`'s darks: its name with anything but letters, digits, '.', '-' and
    // '_' replaced by '_'.
    QString cameraFolder(const QString& camera) const;

private:
    struct Entry {
        QString path;
        DarkFileHeader header;
    };
    struct CameraIndex {
        QDateTime scanned; // the folder's modification time when read
        std::vector<Entry> entries;
    };
    const CameraIndex& indexOf(const QString& camera);

    QString folder_;
    QHash<QString, CameraIndex> index_;
    QHash<QString, std::shared_ptr<const DarkFrame>> loaded_; // by path
};
