#include "ui/MouseRouter.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavrine::ui {
namespace {

using Kind = MouseEventKind;

// A background, a button on it and a hover area over the button's right half.
struct Scene {
    std::vector<HitTarget> targets{
        {{0, 0, 200, 100}, true, true},  // 0 background
        {{20, 20, 60, 30}, true, true},  // 1 button
        {{50, 20, 30, 30}, true, true},  // 2 hover area, topmost
    };
    MouseRouter router;
};

std::vector<std::pair<std::size_t, Kind>> Kinds(const MouseRouter::Events& events) {
    std::vector<std::pair<std::size_t, Kind>> out;
    for (const auto& e : events) out.emplace_back(e.control, e.kind);
    return out;
}

TEST(MouseRouter, EntersLeavesAndMovesTheTopmostControlInItsOwnCoordinates) {
    Scene s;
    auto e = s.router.Move(s.targets, {30, 25});
    ASSERT_EQ(e.size(), 2u);
    EXPECT_EQ(e[0], (RoutedMouseEvent{1, Kind::Enter, MouseButton::Left, 10, 5}));
    EXPECT_EQ(e[1], (RoutedMouseEvent{1, Kind::Move, MouseButton::Left, 10, 5}));

    // Onto the overlapping area: the button is left, the topmost control entered.
    e = s.router.Move(s.targets, {55, 25});
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{
                            {1, Kind::Leave}, {2, Kind::Enter}, {2, Kind::Move}}));
    EXPECT_EQ(e.back().x, 5);

    // Moving within the same control only moves.
    e = s.router.Move(s.targets, {56, 26});
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{2, Kind::Move}}));

    // Off the window entirely.
    e = s.router.LeaveWindow(s.targets);
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{2, Kind::Leave}}));
    EXPECT_FALSE(s.router.Hovered());
}

TEST(MouseRouter, DisabledAndHiddenControlsReceiveNothingAndLetTheOneBelowHaveIt) {
    Scene s;
    s.targets[2].enabled = false;
    s.targets[1].visible = false;
    auto e = s.router.Move(s.targets, {55, 25});
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{0, Kind::Enter}, {0, Kind::Move}}));
    e = s.router.Down(s.targets, MouseButton::Left, {55, 25});
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{0, Kind::Down}}));
    e = s.router.Up(s.targets, MouseButton::Left, {55, 25}, false);
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{0, Kind::Up}}));
}

TEST(MouseRouter, AControlDisabledUnderThePointerGetsNoLeave) {
    Scene s;
    s.router.Move(s.targets, {30, 25});
    s.targets[1].enabled = false;
    auto e = s.router.Move(s.targets, {31, 25});
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{0, Kind::Enter}, {0, Kind::Move}}));
}

TEST(MouseRouter, ThePressedControlKeepsThePointerUntilEveryButtonIsUp) {
    Scene s;
    s.router.Move(s.targets, {30, 25});
    auto e = s.router.Down(s.targets, MouseButton::Right, {30, 25});
    EXPECT_EQ(e, (MouseRouter::Events{{1, Kind::Down, MouseButton::Right, 10, 5}}));

    // Dragged out over the background: the button hears its leave and the moves, nobody else
    // is entered, and coordinates stay in the button's space (negative outside it).
    e = s.router.Move(s.targets, {10, 90});
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{1, Kind::Leave}, {1, Kind::Move}}));
    EXPECT_EQ(e.back().x, -10);
    EXPECT_EQ(e.back().y, 70);

    // A second button pressed and released meanwhile still goes to the button.
    e = s.router.Down(s.targets, MouseButton::Left, {10, 90});
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{1, Kind::Down}}));
    e = s.router.Up(s.targets, MouseButton::Left, {10, 90}, true);
    EXPECT_EQ(Kinds(e), (std::vector<std::pair<std::size_t, Kind>>{{1, Kind::Up}}));
    EXPECT_EQ(s.router.Captured(), 1u);

    // The last release goes to the button; then the control under the pointer is entered.
    e = s.router.Up(s.targets, MouseButton::Right, {10, 90}, false);
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{1, Kind::Up}, {0, Kind::Enter}}));
    EXPECT_FALSE(s.router.Captured());
}

TEST(MouseRouter, ReturningToThePressedControlEntersItAgain) {
    Scene s;
    s.router.Move(s.targets, {30, 25});
    s.router.Down(s.targets, MouseButton::Left, {30, 25});
    s.router.Move(s.targets, {5, 5});
    auto e = s.router.Move(s.targets, {30, 25});
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{1, Kind::Enter}, {1, Kind::Move}}));
    // Leaving the window while pressed is not a leave: the pointer is still held.
    s.router.Move(s.targets, {5, 5});
    EXPECT_TRUE(s.router.LeaveWindow(s.targets).empty());
}

TEST(MouseRouter, APressWithoutAPriorMoveEntersFirstAndAPressOnNothingGoesNowhere) {
    Scene s;
    auto e = s.router.Down(s.targets, MouseButton::Middle, {60, 30});
    EXPECT_EQ(Kinds(e),
              (std::vector<std::pair<std::size_t, Kind>>{{2, Kind::Enter}, {2, Kind::Down}}));
    EXPECT_EQ(e.back().button, MouseButton::Middle);

    MouseRouter empty;
    std::vector<HitTarget> none;
    EXPECT_TRUE(empty.Down(none, MouseButton::Left, {1, 1}).empty());
    EXPECT_TRUE(empty.Up(none, MouseButton::Left, {1, 1}, false).empty());
}

TEST(MouseRouter, ControlDisabledWhilePressedLosesThePointer) {
    Scene s;
    s.router.Down(s.targets, MouseButton::Left, {30, 25});
    s.targets[1].enabled = false;
    auto e = s.router.Up(s.targets, MouseButton::Left, {30, 25}, false);
    // The release lands on what is under the pointer now, never on the disabled button.
    for (const auto& ev : e) EXPECT_NE(ev.control, 1u);
    EXPECT_EQ(e.back().control, 0u);
}

}  // namespace
}  // namespace tavrine::ui
