#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <vector>

#include "ui/Geometry.h"

namespace tavrine::ui {

// What the router needs to know of a windowless control at the moment of an event.
struct HitTarget {
    Rect bounds;
    bool visible = true;
    bool enabled = true;
};

enum class MouseEventKind { Enter, Leave, Move, Down, Up };

// One event for one control; x and y are in the control's own space.
struct RoutedMouseEvent {
    std::size_t control = 0;
    MouseEventKind kind = MouseEventKind::Move;
    MouseButton button = MouseButton::Left;
    int x = 0;
    int y = 0;
    bool operator==(const RoutedMouseEvent&) const = default;
};

// Turns the host window's mouse messages into per-control events. Targets are given in z-order,
// bottom first, at every call, because controls change visibility and state between events.
// The control that took a button press keeps the pointer (moves and the release go to it) until
// every button is up; while it holds the pointer no other control is entered.
class MouseRouter {
  public:
    using Events = std::vector<RoutedMouseEvent>;

    Events Move(std::span<const HitTarget> targets, Point at);
    Events Down(std::span<const HitTarget> targets, MouseButton button, Point at);
    // anyButtonStillDown: the host still sees another button held after this release.
    Events Up(std::span<const HitTarget> targets, MouseButton button, Point at,
              bool anyButtonStillDown);
    // The pointer left the host window (ignored while a control holds the pointer).
    Events LeaveWindow(std::span<const HitTarget> targets);
    // The host lost the pointer (hidden, capture taken elsewhere): forget everything silently.
    void Reset();
    // The host lost the pointer to another window: the press is over, the hover stays.
    void CancelCapture() { captured_.reset(); }

    std::optional<std::size_t> Hovered() const { return hovered_; }
    std::optional<std::size_t> Captured() const { return captured_; }

    static std::optional<std::size_t> HitTest(std::span<const HitTarget> targets, Point at);

  private:
    void UpdateHover(std::span<const HitTarget> targets, std::optional<std::size_t> hit, Point at,
                     Events& out);

    std::optional<std::size_t> hovered_;
    std::optional<std::size_t> captured_;
};

}  // namespace tavrine::ui
