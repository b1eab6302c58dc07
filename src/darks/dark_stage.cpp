#include "darks/dark_stage.h"

#include "platform/capture/frame_stretch.h"

#include <QLocale>

QString exposureText(double seconds) {
    return QString::number(seconds, 'g', 4) + QStringLiteral(" s");
}

DarkUse DarkStage::apply(const QString& camera, double exposureSec, QImage& picture,
                         std::shared_ptr<const RawFrame>& raw) {
    lastRepaired_ = false;
    if ((!useDarks_ && !useMap_) || (picture.isNull() && !raw))
        return {};
    const FrameShape shape = raw ? shapeOf(*raw) : shapeOf(picture);
    const std::optional<DarkMatch> match = library_.find(camera, shape, exposureSec);
    if (!match)
        return {false, 0, noMatchNote(camera, shape, exposureSec)};
    FrameValues values = raw ? valuesOf(*raw) : valuesOf(picture);
    DarkUse use = correct(*match, values);
    if (raw) {
        raw = std::make_shared<const RawFrame>(rawOf(std::move(values), *raw));
        picture = stretchToPicture(*raw);
    } else {
        picture = pictureOf(values);
    }
    return use;
}

DarkUse DarkStage::correct(const DarkMatch& match, FrameValues& values) {
    DarkUse use;
    const DarkFrame& dark = *match.dark;
    QStringList done;
    if (useDarks_ && subtractDark(values, dark, match.scale)) {
        use.subtracted = true;
        done << (match.scale == 1.0
                     ? QStringLiteral("dark of %1 subtracted").arg(exposureText(dark.exposureSec))
                     : QStringLiteral("dark of %1 scaled to %2 subtracted")
                           .arg(exposureText(dark.exposureSec),
                                exposureText(dark.exposureSec * match.scale)));
    }
    if (useMap_) {
        if (mapOf_ != match.dark) {
            map_ = findBadPixels(dark);
            mapOf_ = match.dark;
        }
        if (map_.count() > 0 && repairBadPixels(values, map_)) {
            lastRepaired_ = true;
            use.repaired = map_.count();
            done << QStringLiteral("%1 hot pixels repaired").arg(map_.count());
        }
    }
    if (!done.isEmpty())
        use.note = QStringLiteral("Darks: %1 (%2 darks of %3)")
                       .arg(done.join(QStringLiteral(", ")))
                       .arg(dark.frames)
                       .arg(QLocale().toString(dark.taken.date(), QLocale::ShortFormat));
    return use;
}

// Said only when the camera has darks: without any, the operator has not asked for them.
QString DarkStage::noMatchNote(const QString& camera, const FrameShape& shape, double exposureSec) {
    const std::vector<DarkFileHeader> darks = library_.darksOf(camera);
    if (darks.empty())
        return {};
    const bool sameSize = std::any_of(darks.begin(), darks.end(),
                                      [&](const DarkFileHeader& h) { return h.shape == shape; });
    if (sameSize)
        return QStringLiteral("Darks: none near %1, frames not corrected (Camera > Take Darks...)")
            .arg(exposureText(exposureSec));
    return QStringLiteral("Darks: none of this frame size (%1 x %2), frames not corrected")
        .arg(shape.width)
        .arg(shape.height);
}
