#pragma once

namespace tavrine::ui {

// A control's place inside its parent's client area, in pixels.
struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool Contains(int x, int y) const {
        return x >= left && y >= top && x < left + width && y < top + height;
    }
    int Right() const { return left + width; }
    int Bottom() const { return top + height; }
    bool operator==(const Rect&) const = default;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

enum class MouseButton { Left, Right, Middle };

}  // namespace tavrine::ui
