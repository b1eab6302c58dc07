#include "app/dialog_place.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {
constexpr int kGap = 8;
} // namespace

QPoint dialogPlace(const QRect& room, const QRect& owner, const QSize& dialog) {
    const int top = std::clamp(owner.top(), room.top(),
                               std::max(room.top(), room.bottom() + 1 - dialog.height()));
    for (const QPoint at :
         {QPoint(owner.right() + 1 + kGap, top), QPoint(owner.left() - kGap - dialog.width(), top)})
        if (room.contains(QRect(at, dialog)))
            return at;
    return {std::max(room.left(), room.right() + 1 - dialog.width()), top};
}

void placeDialog(QWidget& dialog, const QWidget& owner) {
    const QScreen* screen = owner.screen();
    if (!screen)
        return;
    dialog.adjustSize();
    // Before it is shown a window has no frame yet; the owner's frame stands in for it.
    const QSize frame = owner.frameGeometry().size() - owner.size();
    dialog.move(
        dialogPlace(screen->availableGeometry(), owner.frameGeometry(), dialog.size() + frame));
}
