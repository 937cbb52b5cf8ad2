#pragma once

#include <windows.h>

#include <vector>

#include "ui/DisplayScale.h"
#include "ui/Font.h"
#include "ui/Geometry.h"
#include "ui/MouseRouter.h"

namespace tavrine::ui {

class Control;
class Form;

// A window that paints windowless controls and routes the mouse to them: a form or a panel.
class GraphicHost {
  public:
    virtual ~GraphicHost();
    GraphicHost(const GraphicHost&) = delete;
    GraphicHost& operator=(const GraphicHost&) = delete;

    virtual HWND Handle() const = 0;
    Form& OwnerForm() const { return *owner_; }

    // Controls in z-order, bottom first (the order they were made in).
    const std::vector<Control*>& Controls() const { return controls_; }
    Control* HoveredControl() const;
    Control* ControlAt(Point at) const;

    COLORREF Color() const { return color_; }
    void SetColor(COLORREF color);

    // The form's display scale: controls keep layout (96-DPI) units, the window works in pixels.
    const DisplayScale& Scale() const;

    // An area in layout units.
    void Invalidate(const Rect& area) const;
    // Forget the pointer without events (the window was hidden).
    void ResetMouse();

  protected:
    GraphicHost(Form* owner, COLORREF color) : owner_(owner), color_(color) {}

    // Painting, mouse routing and notifications of child windows; true when handled.
    bool HandleHostMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    virtual void PaintBackground(HDC dc, const RECT& client) const;

  private:
    friend class Control;
    void Add(Control* control) { controls_.push_back(control); }
    void Remove(const Control* control);
    void Paint();
    void OnMouse(UINT msg, WPARAM wParam, LPARAM lParam);
    // `device` is the pointer in this window's pixels (dragging moves the window by pixels).
    void Dispatch(const MouseRouter::Events& events, Point device);
    std::vector<HitTarget> Targets() const;

    Form* owner_;
    COLORREF color_;
    std::vector<Control*> controls_;
    MouseRouter router_;
    bool trackingLeave_ = false;
    // The off-screen picture of the whole client area, kept between paints.
};

}  // namespace tavrine::ui
