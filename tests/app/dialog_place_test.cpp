#include "app/dialog_place.h"

#include <gtest/gtest.h>

namespace {
const QRect room(0, 0, 1280, 800);
const QSize dialog(300, 200);
} // namespace

TEST(DialogPlace, BesideTheWindowWhereTheScreenHasRoom) {
    EXPECT_EQ(dialogPlace(room, QRect(0, 40, 700, 500), dialog), QPoint(708, 40));
    // No room to the right: to the left.
    EXPECT_EQ(dialogPlace(room, QRect(500, 40, 700, 500), dialog), QPoint(192, 40));
}

// A window filling the screen: the dialog goes to the right edge, over the graph side and
// away from the control column at the window's left.
TEST(DialogPlace, OverTheGraphSideWhenTheWindowFillsTheScreen) {
    const QPoint at = dialogPlace(room, room, dialog);
    EXPECT_EQ(at, QPoint(980, 0));
    EXPECT_TRUE(room.contains(QRect(at, dialog)));
}

TEST(DialogPlace, AlwaysInsideTheScreen) {
    // A window low on the screen: the dialog's top moves up so its bottom stays on it.
    const QPoint low = dialogPlace(room, QRect(0, 700, 600, 100), dialog);
    EXPECT_TRUE(room.contains(QRect(low, dialog)));
    EXPECT_EQ(low, QPoint(608, 600));
    // A dialog larger than the screen: at its top-left corner.
    const QRect small(1280, 0, 1024, 600);
    EXPECT_EQ(dialogPlace(small, QRect(1280, 0, 1024, 600), QSize(1100, 700)), QPoint(1280, 0));
}
