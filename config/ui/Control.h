#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/Component.h"
#include "ui/Geometry.h"

namespace tavrine::ui {

class GraphicHost;

struct MouseArgs {
    MouseButton button = MouseButton::Left;
    int x = 0;  // in the control's own space
    int y = 0;
};

class Control;
using NotifyHandler = std::function<void(Control& sender)>;
using MouseHandler = std::function<void(Control& sender, const MouseArgs& args)>;

// A windowless control: its host window paints it and routes the mouse to it.
class Control : public Component {
  public:
    Control(GraphicHost& host, std::wstring name, Rect bounds);
    ~Control() override;

    GraphicHost& Host() const { return host_; }

    // In layout (96-DPI) units.
    const Rect& Bounds() const { return bounds_; }
    // Where the control is painted, in its host window's pixels.
    Rect DeviceBounds() const;
    void SetBounds(const Rect& bounds);
    void SetPosition(int left, int top) { SetBounds({left, top, bounds_.width, bounds_.height}); }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }

    // A disabled control receives no mouse events; the control below it gets them instead.
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled) { enabled_ = enabled; }

    void SetHint(std::wstring hint) override;

    // Dragging this control moves its form (background pictures).
    bool DragsForm() const { return dragsForm_; }
    void SetDragsForm(bool drags) { dragsForm_ = drags; }

    void Invalidate() const;
    virtual void Paint(HDC dc) const = 0;

    NotifyHandler OnMouseEnter;
    NotifyHandler OnMouseLeave;
    MouseHandler OnMouseMove;
    MouseHandler OnMouseDown;
    MouseHandler OnMouseUp;

  private:
    GraphicHost& host_;
    Rect bounds_;
    bool visible_ = true;
    bool enabled_ = true;
    bool dragsForm_ = false;
};

}  // namespace tavrine::ui
