#pragma once
// A click is a press and a release of the left button over the same control: a press dragged
// off the control before it is released, or made with another button, does not count.
#include "ui/Geometry.h"

namespace tavrine::ui {

class ClickTracker {
  public:
    void Down(MouseButton button) { armed_ = button == MouseButton::Left; }
    // inside: the release happened over the control. True when this release completes a click.
    bool Up(MouseButton button, bool inside) {
        if (button != MouseButton::Left) return false;
        const bool click = armed_ && inside;
        armed_ = false;
        return click;
    }
    void Cancel() { armed_ = false; }

  private:
    bool armed_ = false;
};

}  // namespace tavrine::ui
