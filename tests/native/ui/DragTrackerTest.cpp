#include "ui/DragTracker.h"

#include <gtest/gtest.h>

namespace tavrine::ui {
namespace {

// The window is simulated: the pointer moves on the screen, the picture's coordinates of the
// pointer follow from the window's position, as the system reports them.
TEST(DragTracker, TheGrabbedPixelStaysUnderThePointer) {
    Point window{100, 200};
    Point pointer{130, 245};  // screen
    DragTracker drag;
    EXPECT_FALSE(drag.Moved(window, {0, 0}));

    drag.Begin({pointer.x - window.x, pointer.y - window.y});
    const Point path[] = {{140, 250}, {90, 120}, {91, 120}, {-20, 5}, {600, 700}};
    for (const Point p : path) {
        const Point local{p.x - window.x, p.y - window.y};
        auto moved = drag.Moved(window, local);
        ASSERT_TRUE(moved);
        window = *moved;
        EXPECT_EQ(p.x - window.x, 30);
        EXPECT_EQ(p.y - window.y, 45);
        // The move the system reports after the window followed is a no-op.
        EXPECT_EQ(drag.Moved(window, {p.x - window.x, p.y - window.y}), window);
    }
    drag.End();
    EXPECT_FALSE(drag.Moved(window, {0, 0}));
}

}  // namespace
}  // namespace tavrine::ui
