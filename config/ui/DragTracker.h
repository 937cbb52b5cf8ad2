#pragma once

#include <optional>

#include "ui/Geometry.h"

namespace tavrine::ui {

// Moving a borderless window by one of its pictures. The grab point is stored once, at the press,
// in the picture's own coordinates and never updated: each move shifts the window by the pointer's
// offset from it, so the grabbed pixel stays under the pointer.
class DragTracker {
  public:
    void Begin(Point grab) {
        grab_ = grab;
        active_ = true;
    }
    void End() { active_ = false; }
    bool Active() const { return active_; }

    // The window's new top-left corner for a pointer at `at` (picture coordinates), or nothing
    // when no drag runs.
    std::optional<Point> Moved(Point windowTopLeft, Point at) const {
        if (!active_) return std::nullopt;
        return Point{windowTopLeft.x + (at.x - grab_.x), windowTopLeft.y + (at.y - grab_.y)};
    }

  private:
    Point grab_;
    bool active_ = false;
};

}  // namespace tavrine::ui
