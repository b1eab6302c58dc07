#include "app/dialog_place.h"

#include <gtest/gtest.h>

// Beside the window where the screen has room; over the graph side, away from the control
// column at the window's left, when the window fills the screen; always inside the screen.
TEST(DialogPlace, BesideTheWindowOverTheGraphSideOrInsideTheScreen) {
    const QRect room(0, 0, 1280, 800);
    const QSize dialog(300, 200);
    const QRect small(1280, 0, 1024, 600);
    const struct {
        QRect screen, window;
        QSize size;
        QPoint at;
    } cases[] = {
        {room, {0, 40, 700, 500}, dialog, {708, 40}},
        {room, {500, 40, 700, 500}, dialog, {192, 40}}, // no room to the right: to the left
        {room, room, dialog, {980, 0}},
        {room, {0, 700, 600, 100}, dialog, {608, 600}}, // low: moved up to stay on the screen
        {small, small, {1100, 700}, {1280, 0}},         // larger than the screen: its corner
    };
    for (const auto& k : cases)
        EXPECT_EQ(dialogPlace(k.screen, k.window, k.size), k.at) << k.window.x() << k.window.y();
}
